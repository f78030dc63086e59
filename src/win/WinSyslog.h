// Syslog messages over TCP (octet counting) or UDP. ws2_32.dll is loaded when this
// is made, which happens only when forwarding is on. Every Send, name lookup
// included, is over within Bound ms, whatever the collector or the network does.
#pragma once
#include <windows.h>

#include <memory>

#include "Handles.h"
#include "Syslog.h"

namespace zentrok {

// Code page 932 text as UTF-8.
std::string AnsiToUtf8(const std::string& text);
// The UTC offset of a local time, in minutes (+540 in Japan).
int UtcOffsetMinutes(const ClockReading& local);
// This computer's DNS host name, when it has one.
std::optional<std::string> DnsHostName();

class WinSyslog : public SyslogTransport {
public:
    static constexpr DWORD Bound = 1000;

    explicit WinSyslog(SyslogSettings settings);
    ~WinSyslog() override;
    WinSyslog(const WinSyslog&) = delete;
    WinSyslog& operator=(const WinSyslog&) = delete;
    std::size_t Send(const std::vector<std::string>& messages) override;

    // While it lives, every Send ends by ms from its making, within Bound: for a caller
    // whose steps share one deadline (the session end's answer).
    class EndBy {
    public:
        EndBy(WinSyslog& sender, DWORD ms) : sender_(sender), old_(sender.end_) { sender.end_ = GetTickCount64() + ms; }
        ~EndBy() { sender_.end_ = old_; }
        EndBy(const EndBy&) = delete;
        EndBy& operator=(const EndBy&) = delete;

    private:
        WinSyslog& sender_;
        ULONGLONG old_;
    };

    struct Api;  // the library's functions

private:
    SyslogSettings settings_;
    ModuleHandle library_;
    std::unique_ptr<Api> api_;  // nothing when the library or its start-up failed
    ULONGLONG end_ = ~0ULL;     // no Send goes past it
};

} // namespace zentrok
