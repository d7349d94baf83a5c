#pragma once

#include <QString>

// The instruction text that fills the answer box.
QString defaultPromptText();

// The start-up prompts' messages; the default folder is named where the
// program's own texts name one.
QString namePrompt();
QString changeFolderQuestion(const QString& defaultFolder);
QString changeFolderPrompt(const QString& defaultFolder);
QString assignmentPrompt();
QString unsafeNameMessage();
