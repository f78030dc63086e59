// Text made of millions of short pieces (a page, a CSV), handed on through a buffer of its
// own: each append to a string is a call, and under Wine so is each copy the C library
// makes. Numbers are written straight into the buffer, without printf.
#pragma once
#include <cstring>
#include <string>
#include <string_view>

#include "ReportTime.h"

namespace zentrok::report {

// Where made text goes, a piece at a time.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Write(std::string_view text) = 0;
};

class StringSink : public TextSink {
public:
    explicit StringSink(std::string& out) : out_(out) {}
    void Write(std::string_view text) override { out_ += text; }

private:
    std::string& out_;
};

class TextOut {
public:
    explicit TextOut(TextSink& out) : out_(out) {}
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;
    // What was never flushed is dropped: it is left only when the making stopped half-way (the
    // file refused a piece, and the sink raises at every piece after), and a destructor must not raise.
    ~TextOut() = default;

    void Put(std::string_view text)
    {
        if (text.size() > sizeof buf_ - used_) {
            Flush();
            if (text.size() > sizeof buf_) {
                out_.Write(text);
                return;
            }
        }
        Copy(buf_ + used_, text.data(), text.size());
        used_ += text.size();
    }
    void Put(char c)
    {
        Room(1);
        buf_[used_++] = c;
    }
    // In decimal, zero-padded to width digits (see WriteNumber).
    void Number(long long value, int width)
    {
        Room(24);
        used_ = static_cast<std::size_t>(WriteNumber(buf_ + used_, value, width) - buf_);
    }
    // What is in the buffer goes to the string.
    void Flush()
    {
        if (used_ > 0) out_.Write(std::string_view(buf_, used_));
        used_ = 0;
    }

private:
    // Most pieces are a few bytes: copied in place in two overlapping moves of a fixed size
    // (no call, which under Wine goes to a copy of one byte at a time).
    static void Copy(char* to, const char* from, std::size_t n)
    {
        if (n >= 16 && n <= 32) {
            Move<16>(to, from);
            Move<16>(to + n - 16, from + n - 16);
        } else if (n >= 8 && n < 16) {
            Move<8>(to, from);
            Move<8>(to + n - 8, from + n - 8);
        } else if (n >= 4 && n < 8) {
            Move<4>(to, from);
            Move<4>(to + n - 4, from + n - 4);
        } else if (n < 4) {
            for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
        } else {
            std::memcpy(to, from, n);
        }
    }
    template <std::size_t N>
    static void Move(char* to, const char* from)
    {
        char part[N];
        std::memcpy(part, from, N);
        std::memcpy(to, part, N);
    }

    void Room(std::size_t n)
    {
        if (sizeof buf_ - used_ < n) Flush();
    }
    TextSink& out_;
    char buf_[8192];
    std::size_t used_ = 0;
};

} // namespace zentrok::report
