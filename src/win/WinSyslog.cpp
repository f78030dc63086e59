// winsock2 before windows.h, for its declarations only: the library is loaded at run time.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "WinSyslog.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "FirstAddress.h"
#include <string>

namespace zentrok {

struct WinSyslog::Api {
    decltype(&::WSAStartup) startup;
    decltype(&::WSACleanup) cleanup;
    decltype(&::WSAGetLastError) lastError;
    decltype(&::getaddrinfo) getaddrinfo;
    decltype(&::freeaddrinfo) freeaddrinfo;
    decltype(&::socket) socket;
    decltype(&::connect) connect;
    decltype(&::select) select;
    decltype(&::send) send;
    decltype(&::shutdown) shutdown;
    decltype(&::closesocket) closesocket;
    decltype(&::ioctlsocket) ioctlsocket;
    decltype(&::getsockopt) getsockopt;
};

namespace {
using Api = WinSyslog::Api;

DWORD Left(ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
}

// A name lookup can't be given a time limit: it runs in a thread of its own, which
// is left to finish when time is up. It owns all it uses (its own reference to the
// library, its own copies of the functions and its own start-up of the library), so
// that a late answer after the sender is gone touches nothing of the sender's.
// Whoever comes second, the answer or the waiter giving up, finds the other's state.
struct Lookup {
    enum : LONG { Waiting, Answered, Abandoned };
    HMODULE library = nullptr;
    decltype(&::WSAStartup) startup;
    decltype(&::WSACleanup) cleanup;
    decltype(&::getaddrinfo) getaddrinfo;
    decltype(&::freeaddrinfo) freeaddrinfo;
    std::string host, port;
    int type;
    EventHandle answered{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    volatile LONG state = Waiting;
    ADDRINFOA* result = nullptr;
};

void RunLookup(std::unique_ptr<std::shared_ptr<Lookup>> own)
{
    Lookup& l = **own;
    WSADATA data;
    if (l.startup(MAKEWORD(2, 2), &data) != 0) return;
    ADDRINFOA hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = l.type;
    if (l.getaddrinfo(l.host.c_str(), l.port.c_str(), &hints, &l.result) != 0) l.result = nullptr;
    if (InterlockedCompareExchange(&l.state, Lookup::Answered, Lookup::Waiting) == Lookup::Waiting)
        SetEvent(l.answered.Get());
    else if (l.result)
        l.freeaddrinfo(l.result);
    l.cleanup();
}

DWORD WINAPI LookupThread(void* param)
{
    std::unique_ptr<std::shared_ptr<Lookup>> own(static_cast<std::shared_ptr<Lookup>*>(param));
    const HMODULE library = (*own)->library;
    RunLookup(std::move(own));
    FreeLibraryAndExitThread(library, 0);
}

struct FreeAddresses {
    const Api* api;
    void operator()(ADDRINFOA* a) const { api->freeaddrinfo(a); }
};
using Addresses = std::unique_ptr<ADDRINFOA, FreeAddresses>;

Addresses Resolve(const Api& api, const SyslogSettings& s, ULONGLONG deadline)
{
    // An address needs no lookup: it is read at once.
    ADDRINFOA numeric{};
    numeric.ai_flags = AI_NUMERICHOST;
    numeric.ai_socktype = s.Udp ? SOCK_DGRAM : SOCK_STREAM;
    ADDRINFOA* found = nullptr;
    if (api.getaddrinfo(SyslogHost(s.Server).c_str(), std::to_string(s.Port).c_str(), &numeric, &found) == 0)
        return Addresses(found, {&api});
    auto lookup = std::make_shared<Lookup>();
    lookup->startup = api.startup;
    lookup->cleanup = api.cleanup;
    lookup->getaddrinfo = api.getaddrinfo;
    lookup->freeaddrinfo = api.freeaddrinfo;
    lookup->host = SyslogHost(s.Server);
    lookup->port = std::to_string(s.Port);
    lookup->type = s.Udp ? SOCK_DGRAM : SOCK_STREAM;
    if (!GetModuleHandleExA(0, "ws2_32.dll", &lookup->library)) return Addresses(nullptr, {&api});
    auto param = std::make_unique<std::shared_ptr<Lookup>>(lookup);
    if (const HANDLE thread = CreateThread(nullptr, 0, LookupThread, param.get(), 0, nullptr)) {
        param.release();  // the thread's now
        CloseHandle(thread);
    } else {
        FreeLibrary(lookup->library);
        return Addresses(nullptr, {&api});
    }
    WaitForSingleObject(lookup->answered.Get(), Left(deadline));
    if (InterlockedCompareExchange(&lookup->state, Lookup::Abandoned, Lookup::Waiting) == Lookup::Waiting)
        return Addresses(nullptr, {&api});
    return Addresses(lookup->result, {&api});
}

class Socket {
public:
    Socket(const Api& api, SOCKET s) : api_(api), s_(s) {}
    ~Socket()
    {
        if (s_ == INVALID_SOCKET) return;
        api_.shutdown(s_, SD_SEND);
        api_.closesocket(s_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET Get() const { return s_; }

private:
    const Api& api_;
    SOCKET s_;
};

// Whether the socket becomes writable (connected, room to send) within ms; false on its error.
bool Writable(const Api& api, SOCKET s, DWORD ms)
{
    fd_set ready{}, failed{};
    ready.fd_count = failed.fd_count = 1;
    ready.fd_array[0] = failed.fd_array[0] = s;
    timeval wait{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
    // select leaves in each set the sockets it found so.
    return api.select(0, nullptr, &ready, &failed, &wait) > 0 && ready.fd_count == 1 && failed.fd_count == 0;
}

bool InSet(const fd_set& set, SOCKET s)
{
    return std::find(set.fd_array, set.fd_array + set.fd_count, s) != set.fd_array + set.fd_count;
}

// Non-blocking connections to the addresses, each started when asked.
class SocketAttempts : public Attempts {
public:
    static constexpr std::size_t Most = 16;  // addresses tried, well within a select's set

    SocketAttempts(const Api& api, const ADDRINFOA* found) : api_(api)
    {
        for (const ADDRINFOA* a = found; a && to_.size() < Most; a = a->ai_next) to_.push_back(a);
        sockets_.resize(to_.size());
    }
    std::size_t Count() const { return to_.size(); }
    SOCKET Get(std::size_t address) const { return sockets_[address]->Get(); }

    std::uint32_t Milliseconds() override { return static_cast<std::uint32_t>(GetTickCount64()); }
    bool Start(std::size_t address) override
    {
        const ADDRINFOA& a = *to_[address];
        auto s = std::make_unique<Socket>(api_, api_.socket(a.ai_family, a.ai_socktype, a.ai_protocol));
        u_long nonBlocking = 1;
        if (s->Get() == INVALID_SOCKET || api_.ioctlsocket(s->Get(), FIONBIO, &nonBlocking) != 0) return false;
        if (api_.connect(s->Get(), a.ai_addr, static_cast<int>(a.ai_addrlen)) == 0) connected_ = address;
        else if (api_.lastError() != WSAEWOULDBLOCK) return false;
        sockets_[address] = std::move(s);
        return true;
    }
    std::optional<Ended> Wait(std::uint32_t ms) override
    {
        if (connected_) return Ended{*connected_, true};
        fd_set ready{}, failed{};
        for (const auto& s : sockets_)
            if (s) ready.fd_array[ready.fd_count++] = failed.fd_array[failed.fd_count++] = s->Get();
        timeval wait{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
        // select leaves in each set the sockets it found so: connected, or refused.
        if (api_.select(0, nullptr, &ready, &failed, &wait) <= 0) return std::nullopt;
        for (std::size_t i = 0; i < sockets_.size(); ++i) {
            if (!sockets_[i] || (!InSet(ready, sockets_[i]->Get()) && !InSet(failed, sockets_[i]->Get()))) continue;
            int error = 0;
            int size = sizeof error;
            if (!InSet(failed, sockets_[i]->Get()) &&
                api_.getsockopt(sockets_[i]->Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
                error == 0)
                return Ended{i, true};
            sockets_[i].reset();
            return Ended{i, false};
        }
        return std::nullopt;
    }

private:
    const Api& api_;
    std::vector<const ADDRINFOA*> to_;
    std::vector<std::unique_ptr<Socket>> sockets_;
    std::optional<std::size_t> connected_;  // at once, without waiting
};

bool SendAll(const Api& api, SOCKET s, const std::string& bytes, ULONGLONG deadline)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const int n = api.send(s, bytes.data() + sent, static_cast<int>(std::min<std::size_t>(bytes.size() - sent, INT_MAX)), 0);
        if (n > 0) sent += static_cast<std::size_t>(n);
        else if (n != SOCKET_ERROR || api.lastError() != WSAEWOULDBLOCK || !Writable(api, s, Left(deadline)))
            return false;
    }
    return true;
}

template <typename F>
bool Load(HMODULE library, F& f, const char* name)
{
    f = LibraryFunction<F>(library, name);
    return f != nullptr;
}
} // namespace

std::string AnsiToUtf8(const std::string& text)
{
    if (text.empty()) return text;
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

int UtcOffsetMinutes(const ClockReading& local)
{
    SYSTEMTIME l{}, u{};
    l.wYear = static_cast<WORD>(local.year);
    l.wMonth = static_cast<WORD>(local.month);
    l.wDay = static_cast<WORD>(local.day);
    l.wHour = static_cast<WORD>(local.hour);
    l.wMinute = static_cast<WORD>(local.minute);
    l.wSecond = static_cast<WORD>(local.second);
    FILETIME lf, uf;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &l, &u) || !SystemTimeToFileTime(&l, &lf) || !SystemTimeToFileTime(&u, &uf))
        return 0;
    const auto ticks = [](const FILETIME& f) { return (static_cast<long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<int>((ticks(lf) - ticks(uf)) / 600000000LL);
}

std::optional<std::string> DnsHostName()
{
    char name[256] = "";
    DWORD size = sizeof name;
    if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size) || size == 0) return std::nullopt;
    return std::string(name, size);
}

WinSyslog::WinSyslog(SyslogSettings settings) : settings_(std::move(settings)), library_(LoadLibraryA("ws2_32.dll"))
{
    if (!library_) return;
    auto api = std::make_unique<Api>();
    HMODULE l = library_.Get();
    const bool loaded = Load(l, api->startup, "WSAStartup") && Load(l, api->cleanup, "WSACleanup") &&
                        Load(l, api->lastError, "WSAGetLastError") && Load(l, api->getaddrinfo, "getaddrinfo") &&
                        Load(l, api->freeaddrinfo, "freeaddrinfo") && Load(l, api->socket, "socket") &&
                        Load(l, api->connect, "connect") && Load(l, api->select, "select") &&
                        Load(l, api->send, "send") && Load(l, api->shutdown, "shutdown") &&
                        Load(l, api->closesocket, "closesocket") && Load(l, api->ioctlsocket, "ioctlsocket") &&
                        Load(l, api->getsockopt, "getsockopt");
    WSADATA data;
    if (loaded && api->startup(MAKEWORD(2, 2), &data) == 0) api_ = std::move(api);
}

WinSyslog::~WinSyslog()
{
    if (api_) api_->cleanup();
}

std::size_t WinSyslog::Send(const std::vector<std::string>& messages)
{
    if (!api_ || messages.empty()) return 0;
    const Api& api = *api_;
    const ULONGLONG deadline = std::min(GetTickCount64() + Bound, end_);
    if (Left(deadline) == 0) return 0;
    const Addresses found = Resolve(api, settings_, deadline);
    SocketAttempts attempts(api, found.get());
    const std::optional<std::size_t> first = ConnectFirst(attempts, attempts.Count(), Left(deadline));
    if (!first) return 0;
    std::size_t sent = 0;
    for (const std::string& m : messages) {
        if (!SendAll(api, attempts.Get(*first), settings_.Udp ? m : OctetCounted(m), deadline)) break;
        ++sent;
    }
    return sent;
}

} // namespace zentrok
