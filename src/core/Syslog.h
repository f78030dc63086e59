// Each record also sent to a syslog collector: the settings, the message (RFC 5424)
// and its delivery, with what can't be delivered kept in a spool until it can.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "KeptLines.h"
#include "System.h"

namespace zentrok {

inline constexpr const char* SpoolFileName = "Zentrok.spool";

struct SyslogSettings {
    std::string Server;  // host name or address, an IPv6 one bare or in brackets; empty: off
    std::int32_t Port = 514;
    bool Udp = false;
};

class ProfileAccess;
// The [Syslog] keys; a value out of range or unknown gives its default.
SyslogSettings ReadSyslogSettings(ProfileAccess& profile);

// The name to resolve: an IPv6 address without its brackets.
std::string SyslogHost(const std::string& server);

// HOSTNAME: the DNS host name, else the computer's name when it is printable ASCII, else "-".
std::string SyslogHostName(const std::optional<std::string>& dnsHostName, const std::string& computerName);

// One record as the collector gets it; every text in UTF-8.
struct SyslogRecord {
    ClockReading at;          // the record's own clock reading, local time
    int utcOffsetMinutes = 0;  // of that local time
    std::string host;
    std::uint32_t processId = 0;
    std::string word;  // the event word as written, blanks and all
    bool eventField = true;  // the record holds the event word
    // The record's other fields, each only where the record holds it.
    std::optional<std::string> user, computer, reason;
    std::string line;  // as written to the log
};

// "<38>1 TIMESTAMP HOSTNAME Zentrok PROCID MSGID [zentrok@32473 ...] BOM MSG".
std::string SyslogMessage(const SyslogRecord& record);

// A message framed for TCP: its length in bytes, a blank, the message (octet counting).
std::string OctetCounted(const std::string& message);

// Sends messages in order, each whole or not at all, within its own time bound.
class SyslogTransport {
public:
    virtual ~SyslogTransport() = default;
    // How many of messages, from the first, went out.
    virtual std::size_t Send(const std::vector<std::string>& messages) = 0;
};

// Sends what the spool holds, oldest first, then fresh when given; what doesn't go
// out is kept (fresh at the end). A message that can be neither sent nor spooled is
// held in memory and goes with the next try, after the spool's. Answers what waits
// afterwards, held messages included; nothing when the spool can't be read.
std::optional<KeptCount> ForwardMessages(SyslogTransport& transport, KeptLines& spool,
                                         const std::optional<std::string>& fresh);

} // namespace zentrok
