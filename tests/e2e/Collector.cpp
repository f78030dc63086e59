#include <winsock2.h>
#include <ws2tcpip.h>

#include "Collector.h"

#include <cstring>
#include <string>

#include "Driver.h"

namespace e2e {

namespace {
struct Winsock {
    Winsock()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { WSACleanup(); }
};

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
} // namespace

bool Listening(int port)
{
    const Winsock winsock;
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool taken = connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    closesocket(s);
    return taken;
}

int FreePort()
{
    const Winsock winsock;
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof at;
    bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at);
    getsockname(s, reinterpret_cast<sockaddr*>(&at), &size);
    closesocket(s);
    return ntohs(at.sin_port);
}

StuckCollector::StuckCollector(bool silent, const char* address, int port)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    addrinfo numeric{}, *found = nullptr;
    numeric.ai_flags = AI_NUMERICHOST;
    numeric.ai_socktype = SOCK_STREAM;
    if (getaddrinfo(address, std::to_string(port).c_str(), &numeric, &found) != 0) return;
    sockaddr_storage at{};
    int size = static_cast<int>(found->ai_addrlen);
    memcpy(&at, found->ai_addr, found->ai_addrlen);
    const int family = found->ai_family;
    freeaddrinfo(found);
    const SOCKET listener = socket(family, SOCK_STREAM, IPPROTO_TCP);
    sockets_.push_back(listener);
    bind(listener, reinterpret_cast<sockaddr*>(&at), size);
    listen(listener, silent ? 0 : 5);
    getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size);
    port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&at)->sin6_port
                                     : reinterpret_cast<sockaddr_in*>(&at)->sin_port);
    // Connections nobody accepts fill the queue; the system then drops the next ones' requests.
    for (int i = 0; silent && i < 4; ++i) {
        const SOCKET s = socket(family, SOCK_STREAM, IPPROTO_TCP);
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        connect(s, reinterpret_cast<sockaddr*>(&at), size);
        sockets_.push_back(s);
    }
}

StuckCollector::~StuckCollector()
{
    for (std::uintptr_t s : sockets_) closesocket(s);
    WSACleanup();
}

Collector::Collector(bool ipv6) : port_(FreePort())
{
    static int serial = 0;
    dir_ = "/tmp/zentrok-collector-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string port = std::to_string(port_);
    std::string conf = "module(load=\"imtcp\")\nmodule(load=\"imudp\")\n"
                       "template(name=\"raw\" type=\"string\" string=\"%rawmsg%\\n\")\n"
                       "ruleset(name=\"zentrok\") { action(type=\"omfile\" file=\"" + dir_ + "/messages\" template=\"raw\") }\n";
    for (const char* address : {"127.0.0.1", "::1"})
        for (const char* type : {"imtcp", "imudp"})
            if (ipv6 || address[0] != ':')
                conf += std::string("input(type=\"") + type + "\" address=\"" + address + "\" port=\"" + port +
                        "\" ruleset=\"zentrok\")\n";
    RunUnix("rm -rf " + dir_ + " && mkdir -p " + dir_);
    WriteBytes(WindowsPath(dir_ + "/rsyslog.conf"), conf);
}

Collector::~Collector()
{
    Stop();
    RunUnix("rm -rf " + dir_);
}

bool Collector::Start()
{
    // It goes into the background once it has read its configuration.
    running_ = RunUnix("/usr/sbin/rsyslogd -f " + dir_ + "/rsyslog.conf -i " + dir_ + "/pid") == 0;
    return running_ && WaitUntil([&] { return Listening(port_); }, 10000, 50);
}

void Collector::Stop()
{
    if (!running_) return;
    running_ = false;
    RunUnix("p=$(cat " + dir_ + "/pid) && kill $p && while kill -0 $p 2>/dev/null; do sleep 0.02; done");
}

std::vector<std::string> Collector::Messages() const
{
    std::vector<std::string> lines;
    const std::string text = ReadBytes(WindowsPath(dir_ + "/messages"));
    if (text == "(missing)") return lines;
    for (std::size_t pos = 0, end; (end = text.find('\n', pos)) != std::string::npos; pos = end + 1)
        lines.push_back(text.substr(pos, end - pos));
    return lines;
}

bool Collector::WaitMessages(std::size_t count, DWORD ms) const
{
    return WaitUntil([&] { return Messages().size() >= count; }, ms, 50);
}

} // namespace e2e
