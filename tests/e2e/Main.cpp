#include "Driver.h"

#include <memory>

namespace {
// Wine's shell (8.0) keeps a hidden tooltip window for every tray icon it has ever
// shown; after a few hundred program starts the desktop is crowded with them and
// every window operation slows. Between tests, when none of our programs runs, they
// are closed: a tooltip closes itself on WM_CLOSE, in the shell's own thread.
class ShellTidier : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        DWORD shell = 0;
        if (HWND tray = FindWindowA("Shell_TrayWnd", nullptr)) GetWindowThreadProcessId(tray, &shell);
        if (!shell) return;
        EnumWindows(
            [](HWND w, LPARAM lp) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                char cls[64] = "";
                if (owner == static_cast<DWORD>(lp) && !IsWindowVisible(w) && GetClassNameA(w, cls, sizeof cls) &&
                    std::string(cls) == "tooltips_class32")
                    PostMessageA(w, WM_CLOSE, 0, 0);
                return TRUE;
            },
            static_cast<LPARAM>(shell));
    }
};
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s path\\to\\Zentrok.exe\n", argv[0]);
        return 2;
    }
    e2e::ZentrokExe = e2e::FromBuildPath(argv[1]);
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        ::testing::UnitTest::GetInstance()->listeners().Append(std::make_unique<ShellTidier>().release());  // gtest owns it
    return RUN_ALL_TESTS();
}
