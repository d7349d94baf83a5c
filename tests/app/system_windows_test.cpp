// The parts of system_windows.cpp a test can see.
#include "app/system.h"
#include "qt_printers.h"

#include <QtGlobal>

#include <gtest/gtest.h>

namespace
{

TEST(DefaultFolder, TheFolderWindowsStudentsHaveAlwaysBeenTold)
{
    EXPECT_EQ(platformDefaultFolder(), "c:\\tutrdata");
}

// A Windows session always has its desktop, whatever the variables say.
TEST(DisplayCheck, NeverRefuses)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(missingDisplay(), std::nullopt);
    qputenv("DISPLAY", display);
}

} // namespace
