// Formatted transfer: records built or parsed column by column under a format.
#include "format_control.hpp"
#include "transfer.hpp"

#include <cmath>
#include <cstring>
#include <string>

namespace rio::detail {

void FormatControl::no_data_descriptor() { format_error(unit_, "", "format repeats without a data descriptor"); }
void FormatControl::nesting_too_deep() { format_error(unit_, "", "groups nested too deep"); }

namespace {

// ---------------------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------------------
class RecordWriter {
public:
    RecordWriter(Unit& u, RecordBuffer& buf) : u_(u), buf_(buf) { buf_.clear(); }

    void literal(std::string_view t) {
        char* p = field(static_cast<int>(t.size()));
        if (t.size() == 1) {
            *p = t[0];  // the usual separator: no library call
        } else {
            std::memcpy(p, t.data(), t.size());
        }
    }
    void skip(int n) { pos_ += static_cast<std::size_t>(n); }
    void slash() {
        u_.put_record(buf_.view());
        buf_.clear();
        pos_ = 0;
    }
    // Room for a field of w columns at the position; columns passed over are blanks.
    char* field(int w) {
        const std::size_t end = pos_ + static_cast<std::size_t>(w);
        const std::size_t old = buf_.size();
        if (end > old) {
            buf_.extend(end - old);
            if (pos_ > old) std::memset(buf_.data() + old, ' ', pos_ - old);
        }
        char* p = buf_.data() + pos_;
        pos_ = end;
        return p;
    }
    int stars = 0;  // fields written as asterisks

private:
    Unit& u_;
    RecordBuffer& buf_;
    std::size_t pos_ = 0;
};

double as_double(Kind k, const char* p) {
    switch (k) {
    case Kind::Int4: {
        std::int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case Kind::Real4: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case Kind::Real8: {
        double v;
        std::memcpy(&v, p, 8);
        return v;
    }
    default: return 0;
    }
}

void put_text(char* out, int w, const char* s, int n) {
    if (w > n) {
        std::memset(out, ' ', static_cast<std::size_t>(w - n));
        std::memcpy(out + (w - n), s, static_cast<std::size_t>(n));
    } else {
        std::memcpy(out, s, static_cast<std::size_t>(w));
    }
}

void emit(RecordWriter& w, const Desc& d, int scale, Kind kind, const char* p, std::int32_t size) {
    // Character data (and any item under A) are written as bytes.
    if (d.op == Op::A || kind == Kind::Text) {
        const int width = d.op == Op::A && d.w < 0 ? size : d.w;
        put_text(w.field(width), width, p, size);
        return;
    }
    char* out = w.field(d.w);
    bool ok;
    if (d.op == Op::I) {
        if (kind == Kind::Int4) {
            std::int32_t v;
            std::memcpy(&v, p, 4);
            ok = put_I(out, d.w, v);
        } else {
            // A real under I: its integer part.
            const double v = as_double(kind, p);
            ok = std::isfinite(v) && std::fabs(v) < 9.2e18 && put_I(out, d.w, static_cast<std::int64_t>(v));
            if (!ok) std::memset(out, '*', static_cast<std::size_t>(d.w));
        }
    } else if (d.op == Op::F) {
        ok = put_F(out, d.w, d.d, scale, as_double(kind, p));
    } else {
        ok = put_E(out, d.w, d.d, scale, as_double(kind, p));
    }
    if (!ok) ++w.stars;
}

// ---------------------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------------------
class RecordReader {
public:
    RecordReader(Unit& u, std::string_view rec) : u_(u), rec_(rec) {}

    void literal(std::string_view t) { pos_ += t.size(); }
    void skip(int n) { pos_ += static_cast<std::size_t>(n); }
    void slash() {
        if (!u_.get_record(rec_)) throw EndOfFile{};
        pos_ = 0;
    }
    // w columns at the position, as far as the record holds them; a comma ends a numeric field.
    std::string_view numeric_field(int w) {
        std::string_view f = columns(w);
        const std::size_t c = f.find(',');
        if (c != std::string_view::npos) {
            pos_ += c + 1;
            return f.substr(0, c);
        }
        pos_ += static_cast<std::size_t>(w);
        return f;
    }
    // w columns, blank-padded when the record is short.
    std::string_view text_field(int w, std::string& pad) {
        std::string_view f = columns(w);
        pos_ += static_cast<std::size_t>(w);
        if (f.size() == static_cast<std::size_t>(w)) return f;
        pad.assign(f);
        pad.resize(static_cast<std::size_t>(w), ' ');
        return pad;
    }

private:
    std::string_view columns(int w) const {
        if (pos_ >= rec_.size()) return {};
        return rec_.substr(pos_, static_cast<std::size_t>(w));
    }
    Unit& u_;
    std::string_view rec_;
    std::size_t pos_ = 0;
};

void take(RecordReader& r, const Desc& d, int scale, Kind kind, char* p, std::int32_t size, int unit,
          std::string& pad) {
    if (d.op == Op::A || kind == Kind::Text) {
        const int width = d.op == Op::A && d.w < 0 ? size : d.w;
        std::string_view f = r.text_field(width, pad);
        if (width >= size) {
            std::memcpy(p, f.data() + (width - size), static_cast<std::size_t>(size));
        } else {
            std::memcpy(p, f.data(), static_cast<std::size_t>(width));
            std::memset(p + width, ' ', static_cast<std::size_t>(size - width));
        }
        return;
    }
    std::string_view f = r.numeric_field(d.w);
    bool ok = true;
    if (kind == Kind::Int4) {
        std::int32_t v = 0;
        if (d.op == Op::I) {
            ok = get_I(f, v);
        } else {
            double x = 0;
            ok = get_real(f, d.d, scale, x) && std::fabs(x) < 2147483648.0;
            if (ok) v = static_cast<std::int32_t>(x);
        }
        if (ok) std::memcpy(p, &v, 4);
    } else if (kind == Kind::Real4) {
        float v = 0;
        ok = get_real4(f, d.op == Op::I ? 0 : d.d, d.op == Op::I ? 0 : scale, v);
        if (ok) std::memcpy(p, &v, 4);
    } else {
        double v = 0;
        ok = get_real(f, d.op == Op::I ? 0 : d.d, d.op == Op::I ? 0 : scale, v);
        if (ok) std::memcpy(p, &v, 8);
    }
    if (!ok) fatal(64, unit);
}

}  // namespace

void write_formatted(Unit& u, int unit, const Format& f, Items items) {
    static RecordBuffer buf;
    u.begin_write();
    RecordWriter w(u, buf);
    FormatControl fc(f, unit);
    for_each_run(items, [&](const Run& r) {
        const char* p = r.p;
        for (std::int64_t i = 0; i < r.n; ++i, p += r.size) {
            const Desc& d = fc.next_data(w);
            emit(w, d, fc.scale(), r.kind, p, r.size);
        }
        return true;
    });
    fc.finish(w);
    u.put_record(buf.view());
    u.end_statement();
    // Error 63 once for every field written as asterisks.
    for (int i = 0; i < w.stars; ++i) warn_output_conversion(unit);
}

void read_formatted(Unit& u, int unit, const Format& f, Targets items) {
    static std::string pad;
    std::string_view rec;
    if (!u.get_record(rec)) throw EndOfFile{};
    RecordReader r(u, rec);
    FormatControl fc(f, unit);
    for_each_run(items, [&](const Run& run) {
        char* p = run.p;
        for (std::int64_t i = 0; i < run.n; ++i, p += run.size) {
            const Desc& d = fc.next_data(r);
            take(r, d, fc.scale(), run.kind, p, run.size, unit, pad);
        }
        return true;
    });
    fc.finish(r);
}

}  // namespace rio::detail
