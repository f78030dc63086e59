#include "WinProfile.h"

#include <windows.h>

namespace zentrok {

WinProfile::~WinProfile() { Flush(); }

std::string WinProfile::ReadText(const char* section, const char* key, const std::string& def)
{
    char buf[2048];
    const DWORD n = GetPrivateProfileStringA(section, key, def.c_str(), buf, sizeof buf, path_.c_str());
    return std::string(buf, n);
}

bool WinProfile::WriteText(const char* section, const char* key, const std::string& value)
{
    return WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str()) != 0;
}

void WinProfile::Flush() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()); }

} // namespace zentrok
