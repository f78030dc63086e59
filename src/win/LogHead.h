// The first bytes of a file, for a look at the newest lines of a long log.
#pragma once
#include <cstddef>
#include <string>

namespace zentrok {

// At most bytes bytes from the start of the file at path; empty when it can't be read.
std::string ReadFileHead(const std::string& path, std::size_t bytes);

} // namespace zentrok
