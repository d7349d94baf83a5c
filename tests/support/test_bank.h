#pragma once

#include "window_run.h"

#include <string>
#include <vector>

// A run of the window on a bank of the test's own, entries from index 1, with
// the given assignment chosen at start-up.
inline std::unique_ptr<WindowRun> runOnBank(std::vector<std::string> entries,
                                            const QString& assignment = QStringLiteral("1"))
{
    WindowOptions options;
    options.bankEntries = std::move(entries);
    auto run = std::make_unique<WindowRun>(QStringList{"Ann", "", assignment}, std::move(options));
    run->window->Form_Load();
    return run;
}

inline QString questionBox(const q_a_template_& window)
{
    return q_a_template_::boxText(window.txt_question);
}
