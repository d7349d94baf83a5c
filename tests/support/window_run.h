#pragma once

#include "app/q_a_template_.h"
#include "qt_printers.h"
#include "scripted_platform.h"
#include "test_folder.h"

#include <memory>

// One run of the window in a fresh folder, with scripted replies, a fixed
// clock and a fixed seed; the default folder lies inside the test folder.
struct WindowRun {
    explicit WindowRun(QStringList replies, WindowOptions options = {})
        : platform(std::move(replies))
    {
        if (options.defaultFolder.isEmpty()) {
            options.defaultFolder = folder.file(QStringLiteral("tutrdata"));
        }
        if (!options.fixedSeed) {
            options.fixedSeed = 1;
        }
        window = std::make_unique<q_a_template_>(platform, std::move(options));
    }

    QString defaultFolder() const { return folder.file(QStringLiteral("tutrdata")); }

    TestFolder folder;
    ScriptedPlatform platform;
    std::unique_ptr<q_a_template_> window;
};
