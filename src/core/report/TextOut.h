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
    ~TextOut() { Flush(); }

    void Put(std::string_view text)
    {
        if (text.size() > sizeof buf_ - used_) {
            Flush();
            if (text.size() > sizeof buf_) {
                out_.Write(text);
                return;
            }
        }
        std::memcpy(buf_ + used_, text.data(), text.size());
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
    void Room(std::size_t n)
    {
        if (sizeof buf_ - used_ < n) Flush();
    }
    TextSink& out_;
    char buf_[8192];
    std::size_t used_ = 0;
};

} // namespace zentrok::report
