// The parts of system_unix.cpp a test can see: the display check and the
// default folder.
#include "app/system.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace
{

struct DisplayCase {
    const char* name;
    const char* display;
    const char* wayland;
    const char* platform;
    bool refused;
};

class DisplayCheck : public testing::TestWithParam<DisplayCase>
{
};

TEST_P(DisplayCheck, RefusesOnlyWithoutAnyDisplay)
{
    const auto put = [](const char* name, const char* value) {
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    };
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto display = saved("DISPLAY");
    const auto wayland = saved("WAYLAND_DISPLAY");
    const auto platform = saved("QT_QPA_PLATFORM");
    put("DISPLAY", GetParam().display);
    put("WAYLAND_DISPLAY", GetParam().wayland);
    put("QT_QPA_PLATFORM", GetParam().platform);
    const auto problem = missingDisplay();
    put("DISPLAY", display ? display->c_str() : nullptr);
    put("WAYLAND_DISPLAY", wayland ? wayland->c_str() : nullptr);
    put("QT_QPA_PLATFORM", platform ? platform->c_str() : nullptr);
    if (GetParam().refused) {
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->find("needs a graphical display"), std::string::npos);
    } else {
        EXPECT_EQ(problem, std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LinuxSessions, DisplayCheck,
    testing::Values(DisplayCase{"X11", ":0", nullptr, nullptr, false},
                    DisplayCase{"Wayland", nullptr, "wayland-0", nullptr, false},
                    DisplayCase{"ChosenQtPlatform", nullptr, nullptr, "offscreen", false},
                    DisplayCase{"NoneSet", nullptr, nullptr, nullptr, true},
                    DisplayCase{"AllEmpty", "", "", "", true}),
    [](const testing::TestParamInfo<DisplayCase>& param) { return param.param.name; });

TEST(DefaultFolder, TutrdataInTheHomeFolder)
{
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", "/home/ann", 1);
    const QString folder = platformDefaultFolder();
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(folder, "/home/ann/tutrdata");
}

} // namespace
