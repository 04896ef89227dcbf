// Benchmark of the event-time list: N table points spread over many head and flux groups of
// ten points each (times on a grid of 0.0005 from 0 to 5000, so that duplicates, near times
// and thinning all occur), collected, sorted and thinned.
//
//   event_times_bench [N]     (default 100000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "boundary_groups.hpp"

int main(int argc, char** argv) {
    const long long N = argc > 1 ? std::atoll(argv[1]) : 100000;
    const int per_table = 10;
    const int tables = static_cast<int>((N + per_table - 1) / per_table);
    const int heads = tables / 2, fluxes = tables - heads;
    std::mt19937_64 rng(1);
    std::uniform_int_distribution<long long> grid(0, 10000000);
    auto fill = [&](int count, std::vector<double>& T, std::vector<std::int32_t>& np) {
        T.resize(static_cast<std::size_t>(per_table) * std::max(count, 1));
        np.assign(std::max(count, 1), per_table);
        for (double& t : T) t = 0.0005 * static_cast<double>(grid(rng));
    };
    std::vector<double> TH, TQ, none(1, 0.0);
    std::vector<std::int32_t> NH, NQ, zero(1, 0);
    fill(heads, TH, NH);
    fill(fluxes, TQ, NQ);
    sol::EventSources src;
    src.RAINR = {{none.data(), 1, 1}, {zero.data(), 1}, 0};
    src.EVAPO = src.RAINR;
    src.HTIME = {{TH.data(), per_table, std::max(heads, 1)}, {NH.data(), std::max(heads, 1)}, heads};
    src.QTIME = {{TQ.data(), per_table, std::max(fluxes, 1)}, {NQ.data(), std::max(fluxes, 1)},
                 fluxes};

    double best = 1e30;
    std::size_t kept = 0;
    for (int rep = 0; rep < 5; ++rep) {
        const auto t0 = std::chrono::steady_clock::now();
        const std::vector<double> list = sol::EVTIME(src);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        kept = list.size();
    }
    std::printf("EVTIME: %lld table points in %d tables -> %zu event times, %.3f s\n",
                static_cast<long long>(tables) * per_table, tables, kept, best);
    return 0;
}
