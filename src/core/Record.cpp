#include "Record.h"

#include "DateTime.h"
#include "System.h"

namespace zentrok {

std::string GetLogonUserName(SystemServices& system) { return system.UserName().value_or("名前が不明"); }

std::string GetMachineName(SystemServices& system) { return system.ComputerName().value_or("マシン名が不明"); }

std::string MakeLogRecord(const std::string& eventWord, const RecordFields& fields, const std::string& separator,
                          SystemServices& system)
{
    return MakeLogRecord(eventWord, fields, separator, system, system.LocalTime());
}

std::string MakeLogRecord(const std::string& eventWord, const RecordFields& fields, const std::string& separator,
                          SystemServices& system, const ClockReading& at)
{
    std::string record;
    auto add = [&](const std::string& field) {
        if (!record.empty()) record += separator;
        record += field;
    };
    if (fields.LogOnOff) add(eventWord);
    if (fields.LogUserName) add(GetLogonUserName(system));
    if (fields.LogDate) add(MakeDateTimeText(at));
    if (fields.LogMachineName) add(GetMachineName(system));
    return record;
}

} // namespace zentrok
