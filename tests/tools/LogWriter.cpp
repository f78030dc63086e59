// A second kind of writer for the log, built from the same core as the program:
//   log_writer <log> <tag> <count> <max lines>   writes "<tag> <n>" for n = 1..count, each
//                                                waiting for the lock as a start-up line does
//   log_writer <log> hold                       takes the log's lock and keeps it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Error.h"
#include "LogFile.h"
#include "WinLogFile.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[2]) == "hold") {
        zentrok::WinLogFile files;
        auto lock = files.LockLog(argv[1]);
        std::printf(lock ? "holding\n" : "no lock\n");
        std::fflush(stdout);
        Sleep(INFINITE);
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: log_writer <log> <tag> <count> <max lines> | <log> hold\n");
        return 2;
    }
    zentrok::WinLogFile files;
    const zentrok::DiskLogFile::Patience patient(files);
    const int count = std::atoi(argv[3]);
    for (int n = 1; n <= count; ++n) {
        try {
            zentrok::AddLogLine(files, argv[1], std::string(argv[2]) + " " + std::to_string(n), std::atoi(argv[4]));
        } catch (const zentrok::ZentrokError& e) {
            std::fprintf(stderr, "%s: record %d: %s\n", argv[2], n, e.what());
            return 1;
        }
    }
    return 0;
}
