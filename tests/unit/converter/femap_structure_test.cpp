// Structure of whole FEMAP neutral files converted from solver runs: block framing, record
// counts, element records naming written nodes and defined properties, set numbering, and
// extremes that agree with the data records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "femap_records.hpp"

namespace {

using cnv::test_support::read_records;

// The numbers of a record, commas taken as blanks.
std::vector<double> numbers(std::string r) {
    std::replace(r.begin(), r.end(), ',', ' ');
    std::istringstream in(r);
    std::vector<double> v;
    double x;
    while (in >> x) v.push_back(x);
    return v;
}

// A value as its single-precision record shows it: seven significant digits.
std::string digits7(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6E", static_cast<double>(static_cast<float>(v)));
    return buf;
}

struct Model {
    bool solid = false;
    std::int32_t nprop = 0;
    std::set<std::int32_t> nodes, elements;
};

// Checks one file; `sets` receives the number of output sets it holds.
void check_file(const std::string& path, int& sets) {
    const auto r = read_records(path);
    std::vector<Model> models;
    int last_set = 0;
    const Model* set_model = nullptr;
    std::size_t i = 0;
    while (i < r.size()) {
        // 1. Framing: "   -1", the block number in (I6), the records, "   -1".
        EXPECT_EQ(r[i], "   -1") << path << " record " << i + 1;
        if (i + 1 >= r.size() || r[i] != "   -1") return;
        const int block = std::atoi(r[i + 1].c_str());
        std::size_t end = i + 2;
        while (end < r.size() && r[end] != "   -1") ++end;
        EXPECT_LT(end, r.size()) << path << ": block " << block << " not closed";
        const std::vector<std::string> b(r.begin() + i + 2, r.begin() + std::min(end, r.size()));
        i = end + 1;
        const std::string where = path + " block " + std::to_string(block);

        // 2. Record counts and references per block.
        switch (block) {
        case 100:
            EXPECT_EQ(b, (std::vector<std::string>{"  ", " 4.5,"})) << where;
            models.emplace_back();
            break;
        case 401: EXPECT_EQ(b.size(), 33u) << where; break;
        case 402: {
            EXPECT_EQ(b.size() % 30, 0u) << where;
            Model& m = models.back();
            for (std::size_t g = 0; g < b.size(); g += 30) {
                EXPECT_EQ(std::atoi(b[g].substr(0, 5).c_str()), m.nprop + 1) << where;
                ++m.nprop;
                m.solid = b[g].substr(5) == ",110,1,25,1,0,";
            }
            break;
        }
        case 403:
            for (const auto& rec : b) {
                const std::int32_t n = std::atoi(rec.substr(0, 7).c_str());
                EXPECT_TRUE(models.back().nodes.empty() || n > *models.back().nodes.rbegin()) << where;
                models.back().nodes.insert(n);
                EXPECT_EQ(rec.size(), 7u + 22u + 13u * 3u + 2u) << where;
            }
            break;
        case 404: {
            EXPECT_EQ(b.size() % 7, 0u) << where;
            Model& m = models.back();
            for (std::size_t e = 0; e + 6 < b.size(); e += 7) {
                const auto head = numbers(b[e]);  // number, 124, property, type, topology, 1, 0, 0
                ASSERT_EQ(head.size(), 8u) << where;
                m.elements.insert(static_cast<std::int32_t>(head[0]));
                EXPECT_GE(head[2], 1) << where;
                EXPECT_LE(head[2], m.nprop) << where;
                EXPECT_EQ(head[3], m.solid ? 25 : 19) << where;
                const auto nodes = numbers(b[e + 1]);
                ASSERT_EQ(nodes.size(), 10u) << where;
                int used = 0;
                for (double n : nodes) {
                    if (n == 0) continue;
                    ++used;
                    EXPECT_TRUE(m.nodes.count(static_cast<std::int32_t>(n))) << where << " node " << n;
                }
                const int topology = static_cast<int>(head[4]);
                EXPECT_EQ(used, topology == 8 ? 8 : topology == 7 ? 6 : topology == 4 ? 4 : 3) << where;
            }
            break;
        }
        case 450:
            EXPECT_EQ(b.size(), 6u) << where;
            EXPECT_EQ(std::atoi(b[0].c_str()), last_set + 1) << where;
            last_set = std::atoi(b[0].c_str());
            break;
        case 451: {
            // The set belongs to the 3-D model when it holds element vectors.
            const bool solid = std::any_of(b.begin(), b.end(), [](const std::string& s) {
                return s.find(",70010,1,") != std::string::npos;
            });
            set_model = nullptr;
            for (const Model& m : models)
                if (m.solid == solid) set_model = &m;
            EXPECT_NE(set_model, nullptr) << where;
            if (!set_model) break;
            std::size_t v = 0;
            while (v + 7 < b.size()) {
                const auto head = numbers(b[v]);
                EXPECT_EQ(head[0], last_set) << where;
                const bool element = b[v + 5].substr(b[v + 5].size() - 2) == "8,";
                const auto ext = numbers(b[v + 2]);
                const auto items = numbers(b[v + 5]);
                std::size_t k = v + 7;
                std::int32_t prev = 0;
                double lo = 0, hi = 0;
                std::map<std::int32_t, std::string> value;
                bool any = false;
                for (; k < b.size() && b[k].rfind("          -1 ,", 0) != 0; ++k) {
                    const auto d = numbers(b[k]);
                    const auto item = static_cast<std::int32_t>(d[0]);
                    EXPECT_GT(item, prev) << where;
                    prev = item;
                    const auto& own = element ? set_model->elements : set_model->nodes;
                    if (!(element && head[1] >= 70015)) {
                        EXPECT_TRUE(own.count(item)) << where;
                    }
                    value[item] = digits7(d[1]);
                    lo = any ? std::min(lo, d[1]) : d[1];
                    hi = any ? std::max(hi, d[1]) : d[1];
                    any = true;
                }
                // Extremes as written agree with the data records (the speed's data are
                // computed in single precision and may differ from them in the last digit).
                if (any && head[1] != 70010) {
                    EXPECT_EQ(digits7(ext[0]), digits7(lo)) << where << " vector " << head[1];
                    EXPECT_EQ(digits7(ext[1]), digits7(hi)) << where << " vector " << head[1];
                    EXPECT_EQ(value[static_cast<std::int32_t>(items[0])], digits7(lo)) << where;
                    EXPECT_EQ(value[static_cast<std::int32_t>(items[1])], digits7(hi)) << where;
                }
                if (!any) {
                    EXPECT_EQ(ext, (std::vector<double>{9.9E+30, -9.9E+30, 9.9E+30})) << where;
                }
                v = k + 1;
            }
            EXPECT_EQ(v, b.size()) << where;
            break;
        }
        default: ADD_FAILURE() << where << ": unknown block";
        }
        sets = last_set;
    }
}

const std::string kCases = std::string(TEST_DATA_DIR) + "/../e2e/converter/";

TEST(FemapStructure, ThreeDModelWithMatListFromASolverRun) {
    // Model part plus two step blocks: three sets.
    int sets = 0;
    check_file(kCases + "femap_matlst/expected/FEMAP.NEU", sets);
    EXPECT_EQ(sets, 3);
}

TEST(FemapStructure, BothModelsWithOutputTimesFromASolverRun) {
    // Time 0 of both models, then three of the four output times.
    int sets = 0;
    check_file(kCases + "femap_times_mesh/expected/FEMAP.NEU", sets);
    EXPECT_EQ(sets, 5);
}

}  // namespace
