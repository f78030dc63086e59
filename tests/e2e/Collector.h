// A real syslog collector for the tests: Debian's rsyslog on loopback, TCP and UDP
// on 127.0.0.1 and ::1 on one free port; each message's raw text becomes a line of a file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class Collector {
public:
    explicit Collector(bool ipv6 = true);  // a folder and a free port; not started; with ipv6, on ::1 too
    ~Collector();
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;

    bool Start();  // true once it takes connections
    void Stop();   // returns once the process is gone
    int Port() const { return port_; }
    std::vector<std::string> Messages() const;
    bool WaitMessages(std::size_t count, DWORD ms = 10000) const;

private:
    std::string dir_;  // on the Unix side
    int port_ = 0;
    bool running_ = false;
};

// A collector on loopback that never answers: one that takes connections and never
// reads (deaf), or one whose queue of connections is full, so that a new one gets
// no answer at all, as from an address where nobody is (silent). On a free port of
// 127.0.0.1 unless given an address and a port.
class StuckCollector {
public:
    explicit StuckCollector(bool silent, const char* address = "127.0.0.1", int port = 0);
    ~StuckCollector();
    StuckCollector(const StuckCollector&) = delete;
    StuckCollector& operator=(const StuckCollector&) = delete;
    int Port() const { return port_; }

private:
    std::vector<std::uintptr_t> sockets_;  // the listener first
    int port_ = 0;
};

// Whether a TCP connection to 127.0.0.1:port is taken.
bool Listening(int port);
// A port nobody listens on (TCP and UDP) at the moment.
int FreePort();

} // namespace e2e
