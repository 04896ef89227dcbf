// Node histories: the node ranges of "NDLIST.DAT" and the records of "NDLIST.PST".
#pragma once

#include <cstdint>

#include "model.hpp"

namespace sol {

// Number of nodes an entry lists: NDFRST, NDFRST + NDSTEP, ... for
// (NDLAST - NDFRST + NDSTEP) / NDSTEP values (0 when that is 0 or less). NDSTEP is not 0.
std::int64_t history_count(int NDFRST, int NDLAST, int NDSTEP);

// Reads the NDCNT entries of "NDLIST.DAT" (unit 50), then opens "NDLIST.PST" (unit 51) and
// writes its header records. Called while the header records are read, when NDCNT > 0.
// Stops 2222 on more than 200 entries, an increment of 0 or a listed node outside 1..NUMNP.
void read_node_list(const Control& ctl, const Units& u, NodeHistory& hist);

// One output step of "NDLIST.PST": the time, then node, PSI and PSI + Z of every listed node;
// flushed to the file.
void write_history_step(const Control& ctl, const NodeHistory& hist, const Span1<double>& PSI,
                        const Span1<double>& Z, double TIME);

}  // namespace sol
