// FEMAP neutral model blocks (header, material, properties, nodes, elements) of the 3-D
// model and of the output mesh.
#include <array>
#include <string_view>
#include <vector>

#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

// Block 401: the one material (number 1) with all its properties 0.
constexpr std::array<std::string_view, 33> kMaterial = {
    "1,55,0,1,0,",     " ",
    "0.,0.,0.,",       "0.,0.,0.,",
    "0.,0.,0.,",       "0.,0.,0.,0.,0.,",
    "0.,0.,0.,0.,0.,", "0.,0.,0.,0.,0.,",
    "0.,0.,0.,0.,0.,", "0.,",
    "0.,0.,0.,0.,0.,", "0.,",
    "0.,0.,0.,0.,0.,", "0.,",
    "0.,0.,0.,0.,0.,", "0.,",
    "0.,0.,0.,0.,",    "0.,0.,0.,0.,0.,",
    "0.,0.,0.,0.,0.,", "0.,0.,0.,0.,0.,",
    "0.,0.,0.,0.,0.,", "0.,0.,0.,0.,0.,",
    "0.,",             "0.,0.,0.,0.,0.,",
    "0.,0.,0.,",       "0.,0.,0.,0,0,",
    "0,0,0,0,0,",      "0,0,0,0,0,0,",
    "0.,0.,0.,",       "0.,0.,0.,0.,0.,",
    "0.,0.,",          "0,0,0,0,",
    "0,0,0,0,",
};

// Block 402: records 2 to 30 of a property group, as (text, times written); 45 integer and
// 93 real values, all 0.
struct Repeated {
    std::string_view text;
    int times;
};
constexpr std::array<Repeated, 8> kPropertyTail = {{
    {" ", 1},
    {"0,0,0,0,", 1},
    {"45,", 1},
    {"0,0,0,0,0,0,0,0,", 5},
    {"0,0,0,0,0,", 1},
    {"93,", 1},
    {"0.,0.,0.,0.,0.,", 18},
    {"0.,0.,0.,", 1},
}};

// Block 404: records 3 to 7 of every element.
constexpr std::array<std::string_view, 5> kElementTail = {
    "0,0,0,0,0,0,0,0,0,0,", "0.,0.,0.,", "0.,0.,0.,", "0.,0.,0.,", "0,0,0,0,0,0,0,0,0,0,0,0,",
};

// Fixed fields of the two kinds of model: solids of the 3-D model, plates of the output mesh.
struct ModelKind {
    std::string_view property_text;  // block 402 record 1 after the property number
    std::string_view type_text;      // block 404 record 1 around the topology code
};
constexpr ModelKind kSolid{",110,1,25,1,0,", ",25,"};
constexpr ModelKind kPlate{",110,1,19,1,0,", ",19,"};

// A node record: number, constant fields, coordinates. The format has no group, so a statement
// of many nodes starts each further node on a record of its own at the first descriptor.
constexpr std::string_view kNodeFormat = "(I7,',0,0,1,46,0,0,0,0,0,0,',1PE13.6,',',1PE13.6,',',1PE13.6)";
constexpr std::int64_t kNodesPerStatement = 1024;

void text(int unit, std::string_view t) { rio::write(unit, "*", {t}); }

void open_block(int unit, Index number) {
    rio::write(unit, "(I5)", {Index{-1}});
    rio::write(unit, "(I6)", {number});
}

void close_block(int unit) { rio::write(unit, "(I5)", {Index{-1}}); }

// Blocks 100 and 401, the same for both models.
void header_and_material(int unit) {
    open_block(unit, 100);
    text(unit, " ");
    text(unit, "4.5,");
    close_block(unit);
    open_block(unit, 401);
    for (std::string_view t : kMaterial) text(unit, t);
    close_block(unit);
}

// Block 402 with properties 1..nprop.
void properties(int unit, Index nprop, const ModelKind& kind) {
    open_block(unit, 402);
    for (Index p = 1; p <= nprop; ++p) {
        rio::write(unit, "(I5,A14)", {p, kind.property_text});
        for (const Repeated& r : kPropertyTail)
            for (int k = 0; k < r.times; ++k) text(unit, r.text);
    }
    close_block(unit);
}

// The seven records of one element of block 404: number, property and topology, ten node
// positions, then the constant records.
// All seven go out in one statement: record 1 laid out as a list-directed write of it lays
// it out (each number in 12 columns, a text after a number behind one blank; the record stays
// within 80 columns), and records 3-7 each behind one blank as a list-directed text.
void element(int unit, Index number, Index property, const ModelKind& kind,
             Index topology, const std::array<Index, 10>& nodes) {
    rio::write(unit, "(I12,1X,A,I12,1X,A,I12,1X,A/10(I7,',')/1X,A/1X,A/1X,A/1X,A/1X,A)",
               {number, ",124,", property, kind.type_text, topology, ",1,0,0,",
                std::span<const Index>(nodes), kElementTail[0], kElementTail[1], kElementTail[2],
                kElementTail[3], kElementTail[4]});
}

}  // namespace

void FEMGEO3(const RealView& X, const RealView& Y, const RealView& Z, const NodView& NOD,
             Index NUMNP, Index NUMEL, const IntView& MTYP, Index MATMAX, Index NPEMAX,
             const IntView& EFLAG, const IntView& NFLAG, WriterCounters& cnt) {
    (void)NPEMAX;  // the first eight slots of each element are written whatever the stride
    const int unit = cnt.IFEM;
    header_and_material(unit);
    properties(unit, MATMAX, kSolid);

    // Nodes: the field shows each coordinate's single-precision value.
    open_block(unit, 403);
    std::vector<Index> number(kNodesPerStatement);
    std::vector<float> xyz(3 * kNodesPerStatement);
    std::int64_t held = 0;
    auto flush = [&] {
        if (held > 0)
            rio::write(unit, kNodeFormat,
                       {rio::Item::loop(held, number.data(), rio::Strided<const float>{xyz.data(), 3, 3})});
        held = 0;
    };
    for (Index n = 1; n <= NUMNP; ++n) {
        if (NFLAG(n) == 1) continue;
        number[held] = n;
        xyz[3 * held] = static_cast<float>(X(n));
        xyz[3 * held + 1] = static_cast<float>(Y(n));
        xyz[3 * held + 2] = static_cast<float>(Z(n));
        if (++held == kNodesPerStatement) flush();
    }
    flush();
    close_block(unit);

    // Elements: the model lists the face zeta = +1 first (slots 1-4, a prism's 1-3); the
    // neutral file starts with the opposite face.
    open_block(unit, 404);
    for (Index i = 1; i <= NUMEL; ++i) {
        if (EFLAG(i) == 1) continue;
        Index N[9];
        for (int j = 1; j <= 8; ++j) N[j] = NOD(j, i);
        if (N[7] == 0 && N[8] == 0) {
            element(unit, i, MTYP(i), kSolid, 7, {N[4], N[5], N[6], 0, N[1], N[2], N[3], 0, 0, 0});
        } else {
            element(unit, i, MTYP(i), kSolid, 8,
                    {N[5], N[6], N[7], N[8], N[1], N[2], N[3], N[4], 0, 0});
        }
    }
    close_block(unit);
}

void FEMGEO2(const OutputMesh& mesh, WriterCounters& cnt) {
    const int unit = cnt.IFEM;
    header_and_material(unit);
    properties(unit, 1, kPlate);

    open_block(unit, 403);
    for (Index p = 1; p <= mesh.NPT; ++p)
        rio::write(unit, kNodeFormat, {p, mesh.XP(p), mesh.YP(p), mesh.ZP(p)});
    close_block(unit);

    // Cells: a third point equal to the fourth makes a triangle.
    open_block(unit, 404);
    for (Index c = 1; c <= mesh.NCELL; ++c) {
        const Index I1 = mesh.ICELL(c, 1), I2 = mesh.ICELL(c, 2), I3 = mesh.ICELL(c, 3),
                  I4 = mesh.ICELL(c, 4);
        if (I3 == I4) {
            element(unit, c, 1, kPlate, 2, {I1, I2, I3, 0, 0, 0, 0, 0, 0, 0});
        } else {
            element(unit, c, 1, kPlate, 4, {I1, I2, I3, I4, 0, 0, 0, 0, 0, 0});
        }
    }
    close_block(unit);
}

}  // namespace cnv
