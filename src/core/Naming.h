// The log file's name from the naming settings.
#pragma once
#include <string>

namespace zentrok {

class SystemServices;
struct SessionSettings;

// A file name without folder: the fixed name, the date, the computer's or the user's name.
std::string MakeLogFileName(const SessionSettings& settings, SystemServices& system);

} // namespace zentrok
