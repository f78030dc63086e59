#include "Naming.h"

#include "DateTime.h"
#include "Record.h"
#include "Settings.h"
#include "System.h"

namespace zentrok {

std::string MakeLogFileName(const SessionSettings& s, SystemServices& system)
{
    switch (s.NameKind) {
    case 1: return s.NameString.empty() ? DefaultLogName : s.NameString;
    case 2: {
        const char* pattern = s.NameDate == 3 ? "yy'.txt'" : s.NameDate == 2 ? "yymm'.txt'" : "yyyymmdd'.txt'";
        return FormatDatePattern(pattern, system.LocalTime());
    }
    case 3: return GetMachineName(system) + ".txt";
    case 4: return GetLogonUserName(system) + ".txt";
    default: return DefaultLogName;
    }
}

} // namespace zentrok
