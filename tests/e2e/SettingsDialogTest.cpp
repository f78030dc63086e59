// The settings dialog of the real program: what it shows, its checks, what it stores.
#include <gtest/gtest.h>

#include <thread>

#include "DialogDriver.h"
#include "SettingIds.h"

using namespace e2e;

namespace {
void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
} // namespace

// Not a check: keeps each page on screen for a while, for a screenshot.
TEST(SettingsDialog, DISABLED_PagesForALook)
{
    TempFolder folder;
    Program zentrok(folder);
    SettingsDialog dialog(zentrok);
    ASSERT_TRUE(dialog.Open());
    for (int page = 0; page < 3; ++page) {
        dialog.TurnTo(page);
        Pause(4000);
    }
}
