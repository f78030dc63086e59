// The console: messages (UTF-8 here) as the console or a redirected stream wants them.
#pragma once
#include <string>
#include <string_view>

namespace zentrok::report {

class Console {
public:
    Console();
    void Out(std::string_view utf8) { Write(out_, outIsConsole_, utf8); }
    void Error(std::string_view utf8) { Write(err_, errIsConsole_, utf8); }
    // Bytes as they are, to the standard output; whether it took them all.
    bool OutBytes(std::string_view bytes);
    // Files and lines read so far, over itself, only when the error stream is a console.
    void Progress(std::size_t files, std::size_t lines);
    void EndProgress();
    // Whether the console window is this program's own (started from Explorer): it closes when we end.
    bool OwnWindow() const;

private:
    static void Write(void* handle, bool console, std::string_view utf8);
    void* out_;
    void* err_;
    bool outIsConsole_, errIsConsole_;
    bool progressShown_ = false;
    unsigned long lastTick_ = 0;
};

} // namespace zentrok::report
