// The main window built inside a test process, in a temporary folder of its own.
#pragma once
#include <windows.h>

#include <string>

#include "Mainunit.h"

namespace ui {
inline std::string TempExe()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    const std::string folder = std::string(base) + "zentrok-ui-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\Zentrok.exe";
}

struct Form {
    explicit Form(const std::string& arguments) : exe(TempExe()), form(app, "Zentrok.exe " + arguments, exe) {}
    ~Form()
    {
        form.RemoveTrayIcon();
        DeleteFileA(form.LogFile.c_str());
        RemoveDirectoryA(exe.substr(0, exe.rfind('\\')).c_str());
    }
    std::string exe;
    zentrok::Application app;
    TMainForm form;
};
} // namespace ui
