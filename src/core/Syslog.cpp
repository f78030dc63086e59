#include "Syslog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Settings.h"
#include "Text.h"

namespace zentrok {

namespace {
bool PrintableAscii(const std::string& text)
{
    return !text.empty() && text.size() <= 255 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > 32 && c < 127; });
}

std::string Timestamp(const ClockReading& at, int offsetMinutes)
{
    char text[64];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", at.year, at.month, at.day, at.hour,
                          at.minute, at.second, at.milliseconds);
    if (offsetMinutes == 0) std::snprintf(text + n, sizeof text - n, "Z");
    else {
        const int off = std::abs(offsetMinutes);
        std::snprintf(text + n, sizeof text - n, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', off / 60, off % 60);
    }
    return text;
}

// A parameter's value: '"', '\' and ']' escaped with a backslash.
std::string Param(const char* name, const std::string& value)
{
    std::string text = std::string(" ") + name + "=\"";
    for (char c : value) {
        if (c == '"' || c == '\\' || c == ']') text += '\\';
        text += c;
    }
    return text + '"';
}
} // namespace

SyslogSettings ReadSyslogSettings(ProfileAccess& profile)
{
    SyslogSettings s;
    s.Server = Trim(profile.ReadText("Syslog", "Server", ""));
    const std::int32_t port = StrToIntDef(profile.ReadText("Syslog", "Port", "514"), 514);
    if (port >= 1 && port <= 65535) s.Port = port;
    std::string protocol = Trim(profile.ReadText("Syslog", "Protocol", "TCP"));
    for (char& c : protocol) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    s.Udp = protocol == "UDP";
    return s;
}

std::string SyslogHost(const std::string& server)
{
    if (server.size() > 2 && server.front() == '[' && server.back() == ']') return server.substr(1, server.size() - 2);
    return server;
}

std::string SyslogHostName(const std::optional<std::string>& dnsHostName, const std::string& computerName)
{
    if (dnsHostName && PrintableAscii(*dnsHostName)) return *dnsHostName;
    return PrintableAscii(computerName) ? computerName : "-";
}

std::string SyslogMessage(const SyslogRecord& r)
{
    std::string msgid;
    for (char c : r.word)
        if (c != ' ') msgid += c;
    std::string sd = "[zentrok@32473";
    if (r.eventField) sd += Param("event", msgid);
    if (r.user) sd += Param("user", *r.user);
    if (r.computer) sd += Param("computer", *r.computer);
    if (r.reason) sd += Param("reason", *r.reason);
    sd += ']';
    return "<38>1 " + Timestamp(r.at, r.utcOffsetMinutes) + ' ' + (r.host.empty() ? "-" : r.host) + " Zentrok " +
           std::to_string(r.processId) + ' ' + (msgid.empty() ? "-" : msgid) + ' ' + sd + " \xEF\xBB\xBF" + r.line;
}

std::string OctetCounted(const std::string& message) { return std::to_string(message.size()) + ' ' + message; }

std::optional<KeptCount> ForwardMessages(SyslogTransport& transport, KeptLines& spool,
                                         const std::optional<std::string>& fresh)
{
    // Nothing spooled or held: the message goes straight out, and only its failure touches the spool.
    if (const std::optional<KeptCount> now = spool.Peek(); now && now->Settled()) {
        if (!fresh || transport.Send({*fresh}) == 1) return now;
        if (auto after = spool.Update([&](Kept& k) { k.lines.push_back(*fresh); })) return after;
    } else if (auto after = spool.Update([&](Kept& k) {
                   std::vector<std::string> all = k.lines;
                   if (fresh) all.push_back(*fresh);
                   const std::size_t sent = transport.Send(all);
                   const std::size_t fromSpool = std::min(sent, k.lines.size());
                   k.lines.erase(k.lines.begin(), k.lines.begin() + static_cast<std::ptrdiff_t>(fromSpool));
                   if (fresh && sent <= fromSpool) k.lines.push_back(*fresh);
               })) {
        return after;
    }
    // Neither sent nor spooled: held behind what the spool holds, never sent ahead of it.
    if (fresh) spool.Hold({*fresh});
    return spool.Peek();
}

} // namespace zentrok
