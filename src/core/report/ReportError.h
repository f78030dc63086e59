// The report's one error type: a UTF-8 message and the exit code it ends the program with.
#pragma once
#include <stdexcept>
#include <string>

namespace zentrok::report {

enum ExitCode { Written = 0, NothingFound = 1, WrongCommandLine = 2 };

class ReportError : public std::runtime_error {
public:
    ReportError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode Code() const { return code_; }

private:
    ExitCode code_;
};

} // namespace zentrok::report
