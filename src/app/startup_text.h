#pragma once

#include <QString>

#include <optional>

// The instruction text that fills the answer box.
QString defaultPromptText();

// The start-up prompts' messages; the default folder is named where the
// program's own texts name one.
QString namePrompt();
QString changeFolderQuestion(const QString& defaultFolder);
QString changeFolderPrompt(const QString& defaultFolder);
QString assignmentPrompt();
QString unsafeNameMessage();
QString nameTooLongMessage();
// Why a name cannot become part of the file names, or nothing when it can.
std::optional<QString> refusedNameMessage(const QString& name);
QString alreadyOpenMessage(const QString& fullName, const QString& folder);
// Asked when the record files cannot be written in the folder at start-up.
QString folderFailedPrompt(const QString& folder, const QString& reason);
// Why the program will not start with an argument it was given, such as a
// file dropped on it.
QString argumentRefusedMessage(const QString& argument);
