// Format control: walks the descriptors of a parsed format for one statement, handing the
// record-positioning descriptors to the reader or writer and returning the next data field.
#pragma once

#include "internal.hpp"

namespace rio::detail {

// Handler interface: literal(text), skip(columns), slash() (end of the record in hand).
class FormatControl {
public:
    FormatControl(const Format& f, int unit) : f_(f), unit_(unit) {}

    int scale() const { return scale_; }

    // The data descriptor for the next item. Literals, X, P and "/" before it are processed;
    // at the final parenthesis the record ends and processing resumes at the last group at
    // the outermost level (or at the start), keeping the scale factor.
    template <class H>
    const Desc& next_data(H& h) {
        if (rep_left_ > 0) {
            --rep_left_;
            return *cur_;
        }
        for (;;) {
            const Desc& o = f_.ops[static_cast<std::size_t>(pc_)];
            switch (o.op) {
            case Op::I:
            case Op::F:
            case Op::E:
            case Op::A:
                ++pc_;
                cur_ = &o;
                rep_left_ = o.rep - 1;
                data_since_revert_ = true;
                return o;
            case Op::End:
                if (!data_since_revert_) no_data_descriptor();
                h.slash();
                pc_ = f_.revert;
                data_since_revert_ = false;
                continue;
            default:
                step(o, h);
            }
        }
    }

    // After the last item: process literals and "/" up to the next data descriptor or the
    // final parenthesis.
    template <class H>
    void finish(H& h) {
        if (rep_left_ > 0) return;
        for (;;) {
            const Desc& o = f_.ops[static_cast<std::size_t>(pc_)];
            switch (o.op) {
            case Op::I:
            case Op::F:
            case Op::E:
            case Op::A:
            case Op::End:
                return;
            default:
                step(o, h);
            }
        }
    }

private:
    struct Frame {
        int begin;
        int left;
    };
    const Format& f_;
    int unit_;
    int pc_ = 0;
    int rep_left_ = 0;
    const Desc* cur_ = nullptr;
    int scale_ = 0;
    bool data_since_revert_ = false;
    Frame stack_[64];
    int depth_ = 0;

    template <class H>
    void step(const Desc& o, H& h) {
        switch (o.op) {
        case Op::X:
            h.skip(o.w);
            break;
        case Op::P:
            scale_ = o.w;
            break;
        case Op::Lit:
            h.literal(std::string_view(f_.text.data() + o.lit_off, static_cast<std::size_t>(o.lit_len)));
            break;
        case Op::Slash:
            for (int i = 0; i < o.w; ++i) h.slash();
            break;
        case Op::GroupBegin:
            if (depth_ == 64) nesting_too_deep();
            stack_[depth_++] = Frame{pc_, o.rep};
            break;
        case Op::GroupEnd:
            if (--stack_[depth_ - 1].left > 0) {
                pc_ = stack_[depth_ - 1].begin + 1;
                return;
            }
            --depth_;
            break;
        default:
            break;
        }
        ++pc_;
    }

    [[noreturn]] void no_data_descriptor();
    [[noreturn]] void nesting_too_deep();
};

}  // namespace rio::detail
