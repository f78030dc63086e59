// The files the arguments name: files, folders (every file in them, not below) and wildcards.
#pragma once
#include <string>
#include <vector>

namespace zentrok::report {

struct InputFiles {
    std::vector<std::string> files;    // UTF-8 paths, each once
    std::vector<std::string> missing;  // arguments that name nothing
};

InputFiles FindInputs(const std::vector<std::string>& arguments);

// Paths for the ANSI calls of the file layer, and back.
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);

} // namespace zentrok::report
