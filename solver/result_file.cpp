// Result-file writers: header, step blocks and the second result file.
#include "result_file.hpp"

#include <vector>

namespace sol {

namespace {
constexpr int kSecondResultUnit = 9;
constexpr Index kNpemax = 8;
}  // namespace

void WRHEAD(const Control& ctl, const Units& u, const MeshArrays& mesh) {
    const int U = u.IPOST;
    const std::int64_t NN = ctl.NUMNP, NE = ctl.NUMEL;
    // Writing from the start makes any older content of both files disappear.
    rio::rewind(U);
    rio::rewind(kSecondResultUnit);
    rio::write(kSecondResultUnit, "(20A4)", {rio::Item::words(ctl.TITLE, 4)});
    rio::write(kSecondResultUnit, "*", {ctl.NUMNP, ctl.NUMEL, kNpemax});
    // The second file is complete now: on disk at once, so that a run interrupted later still
    // leaves it whole.
    rio::flush(kSecondResultUnit);

    rio::write(U, "(20A4)", {rio::Item::words(ctl.TITLE, 4)});
    rio::write(U, "*", {ctl.NUMNP, ctl.NUMEL, kNpemax});
    rio::write(U, "*",
               {rio::Item::loop(NN, mesh.X.data(), mesh.Y.data(), mesh.Z.data(),
                                mesh.PSIINI.data(), mesh.Q.data(), mesh.KODE.data())});
    // One statement of all elements, NOD(1..8) then MTYP of each: the post-processors' reader
    // counts the record of a refused value from this order.
    rio::write(U, "*",
               {rio::Item::loop(NE, rio::Strided<Index>{mesh.NOD.data(), kNpemax, kNpemax},
                                mesh.MTYP.data())});
}

void WRPLT0(const Control& ctl, const Units& u, const MeshArrays& mesh) {
    const int U = u.IPOST;
    const std::int64_t NN = ctl.NUMNP, NE = ctl.NUMEL;
    const Index step = 0;
    const double time = 0.0;
    // No element has been evaluated: velocities and moisture contents are zero.
    const std::vector<double> zero(static_cast<std::size_t>(3 * NE), 0.0);
    rio::write(U, "*", {step, time});
    rio::write(U, "*",
               {rio::Item::loop(NN, mesh.PSIINI.data(), mesh.Q.data(), mesh.KODE.data())});
    rio::write(U, "*", {std::span<const double>(zero)});
    if (ctl.ITHSW == 0) {
        rio::write(U, "*", {std::span<const double>(zero.data(), static_cast<std::size_t>(NE))});
    }
    rio::flush(U);
}

void WRPLT(const Control& ctl, const Units& u, const Span2<double>& VEL, const Span1<double>& PSI,
           const Span1<double>& Q, const Span1<double>& TH, const Span1<Index>& KODE,
           int NSTEP, double TIME) {
    const int U = u.IPOST;
    const std::int64_t NN = ctl.NUMNP, NE = ctl.NUMEL;
    const Index step = NSTEP;
    rio::write(U, "*", {step, TIME});
    rio::write(U, "*", {rio::Item::loop(NN, PSI.data(), Q.data(), KODE.data())});
    rio::write(U, "*",
               {std::span<const double>(VEL.data(), static_cast<std::size_t>(3 * NE))});
    if (ctl.ITHSW == 0) {
        rio::write(U, "*", {std::span<const double>(TH.data(), static_cast<std::size_t>(NE))});
    }
    // A whole block on disk: a full disk ends the run here, and a run killed between blocks
    // leaves whole blocks only.
    rio::flush(U);
}

}  // namespace sol
