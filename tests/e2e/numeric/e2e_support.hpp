// Helpers of the numeric end-to-end tests: run the solver on a model of tests/data in a
// fresh directory, and read back the result file, the listing and "NDLIST.PST".
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

namespace fs = std::filesystem;

inline std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_file(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// Records of a text file without their CR LF.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        std::size_t end = nl;
        if (end > at && text[end - 1] == '\r') --end;
        out.push_back(text.substr(at, end - at));
        at = nl + 1;
    }
    return out;
}

inline int count_lines_with(const std::vector<std::string>& lines, const std::string& what) {
    int n = 0;
    for (const auto& l : lines)
        if (l.find(what) != std::string::npos) ++n;
    return n;
}

// A fresh working directory holding a copy of one model of tests/data.
class ModelRun {
public:
    explicit ModelRun(const std::string& model) {
        char tmpl[] = "/tmp/solver_e2e_XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
        dir = tmpl;
        copy_model(model);
    }
    ~ModelRun() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    ModelRun(const ModelRun&) = delete;
    ModelRun& operator=(const ModelRun&) = delete;

    // Copies (or recopies) the files of a model over those of the directory.
    void copy_model(const std::string& model) {
        for (const auto& e : fs::directory_iterator(fs::path(TEST_DATA_DIR) / model))
            fs::copy_file(e.path(), dir / e.path().filename(),
                          fs::copy_options::overwrite_existing);
    }

    // WORK.LST with the two work-array lengths given.
    void set_work_lengths(long long mtotbd, long long mtotib) {
        std::string text = "work.tmp\r\nscr2.tmp\r\nscr3.tmp\r\nscr4.tmp\r\nresult2.dat\r\n"
                           "result.dat\r\n" + std::to_string(mtotbd) + "\r\n" +
                           std::to_string(mtotib) + "\r\nmodel.dat\r\nlisting.txt\r\n";
        write_file(dir / "WORK.LST", text);
    }

    // Replaces columns [first, first + text.size()) (1-based) of record `line` (1-based) of
    // model.dat.
    void edit_model(int line, int first, const std::string& text) {
        std::vector<std::string> ls = lines_of(read_file(dir / "model.dat"));
        std::string& l = ls.at(line - 1);
        if (l.size() < first - 1 + text.size()) l.resize(first - 1 + text.size(), ' ');
        l.replace(first - 1, text.size(), text);
        std::string out;
        for (const auto& s : ls) out += s + "\r\n";
        write_file(dir / "model.dat", out);
    }

    // Runs the solver; returns the exit status (the low 8 bits of a stop code).
    int solve() {
        std::string cmd = "cd '" + dir.string() + "' && '" SOLVER_EXE
                          "' </dev/null >_stdout 2>_stderr";
        int rc = std::system(cmd.c_str());
        status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        return status;
    }

    std::string file(const std::string& name) const { return read_file(dir / name); }
    std::vector<std::string> listing() const { return lines_of(file("listing.txt")); }
    std::string console() const { return file("_stdout"); }
    std::string errors() const { return file("_stderr"); }

    fs::path dir;
    int status = -1;
};

struct Node {
    double X, Y, Z, PSIINI, Q;
    int KODE;
};

struct Block {
    int NSTEP = 0;
    double TIME = 0.0;
    std::vector<double> PSI, Q;
    std::vector<int> KODE;
    std::vector<double> VX, VY, VZ, TH;
};

struct ResultFile {
    std::string title;
    int NUMNP = 0, NUMEL = 0, NPEMAX = 0;
    std::vector<Node> nodes;               // 0-based: node i + 1
    std::vector<std::vector<int>> NOD;     // 8 slots per element
    std::vector<int> MTYP;
    std::vector<Block> blocks;
};

// Reads a result file: the 80-column title, then list-directed values; blocks until the
// end of the file. with_th: the blocks carry the moisture-content record (ITHSW = 0).
inline ResultFile parse_result(const std::string& text, bool with_th = true) {
    ResultFile r;
    std::size_t nl = text.find('\n');
    r.title = text.substr(0, nl == std::string::npos ? text.size() : nl);
    if (!r.title.empty() && r.title.back() == '\r') r.title.pop_back();
    std::istringstream in(nl == std::string::npos ? std::string() : text.substr(nl + 1));
    auto num = [&](double& v) {
        std::string tok;
        if (!(in >> tok)) return false;
        v = std::strtod(tok.c_str(), nullptr);
        return true;
    };
    auto integer = [&](int& v) {
        double d;
        if (!num(d)) throw std::runtime_error("result file ends early");
        v = static_cast<int>(d);
    };
    auto real = [&](double& v) {
        if (!num(v)) throw std::runtime_error("result file ends early");
    };
    integer(r.NUMNP);
    integer(r.NUMEL);
    integer(r.NPEMAX);
    r.nodes.resize(r.NUMNP);
    for (Node& n : r.nodes) {
        real(n.X); real(n.Y); real(n.Z); real(n.PSIINI); real(n.Q); integer(n.KODE);
    }
    r.NOD.assign(r.NUMEL, std::vector<int>(8));
    r.MTYP.resize(r.NUMEL);
    for (int e = 0; e < r.NUMEL; ++e) {
        for (int k = 0; k < 8; ++k) integer(r.NOD[e][k]);
        integer(r.MTYP[e]);
    }
    for (;;) {
        double first;
        if (!num(first)) break;
        Block b;
        b.NSTEP = static_cast<int>(first);
        real(b.TIME);
        b.PSI.resize(r.NUMNP); b.Q.resize(r.NUMNP); b.KODE.resize(r.NUMNP);
        for (int i = 0; i < r.NUMNP; ++i) { real(b.PSI[i]); real(b.Q[i]); integer(b.KODE[i]); }
        b.VX.resize(r.NUMEL); b.VY.resize(r.NUMEL); b.VZ.resize(r.NUMEL);
        for (int e = 0; e < r.NUMEL; ++e) { real(b.VX[e]); real(b.VY[e]); real(b.VZ[e]); }
        if (with_th) {
            b.TH.resize(r.NUMEL);
            for (int e = 0; e < r.NUMEL; ++e) real(b.TH[e]);
        }
        r.blocks.push_back(std::move(b));
    }
    return r;
}

// Records of an unformatted file: each framed by its 4-byte length before and after.
inline std::vector<std::string> unformatted_records(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at + 4 <= bytes.size()) {
        std::int32_t n;
        std::memcpy(&n, bytes.data() + at, 4);
        if (n < 0 || at + 8 + static_cast<std::size_t>(n) > bytes.size())
            throw std::runtime_error("broken record");
        std::int32_t tail;
        std::memcpy(&tail, bytes.data() + at + 4 + n, 4);
        if (tail != n) throw std::runtime_error("record lengths differ");
        out.push_back(bytes.substr(at + 4, n));
        at += 8 + n;
    }
    if (at != bytes.size()) throw std::runtime_error("trailing bytes");
    return out;
}

template <class T>
T field(const std::string& rec, std::size_t offset) {
    T v;
    std::memcpy(&v, rec.data() + offset, sizeof(T));
    return v;
}

// The value after "=" of the listing lines that hold `label`, in order.
inline std::vector<double> listed_values(const std::vector<std::string>& lines,
                                         const std::string& label) {
    std::vector<double> out;
    for (const auto& l : lines) {
        std::size_t at = l.find(label);
        if (at == std::string::npos) continue;
        std::size_t eq = l.find('=', at);
        out.push_back(std::strtod(l.c_str() + eq + 1, nullptr));
    }
    return out;
}

// Total head of node i (1-based) in a block.
inline double total_head(const ResultFile& r, const Block& b, int i) {
    return b.PSI[i - 1] + r.nodes[i - 1].Z;
}

}  // namespace e2e
