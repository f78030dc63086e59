// The program's one error type: a CP932 message for the error box.
#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace zentrok {

class ZentrokError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// pattern with its "%s" replaced by arg.
std::string FormatWith(std::string_view pattern, std::string_view arg);

// The error box's text: the message and "." unless it is empty or already ends
// in a single-byte character of code "." or lower.
std::string ErrorBoxText(std::string_view message);

} // namespace zentrok
