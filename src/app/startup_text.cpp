#include "app/startup_text.h"

#include "record/student_records.h"

#include <QStringList>

QString defaultPromptText()
{
    return QStringLiteral(
        "Enter, as appropriate, an answer to the question, a critique of your answer in "
        "response to a given answer, your insights regarding the situation at this point, "
        "notes to yourself, or just an OK.\r\n\r\n"
        "Always critique your solutions by describing any insights you had or errors you "
        "makde, and by explaining how you can make use of the insight or how you now know how "
        "to avoid certain errors.  Also pose for the instructor any question or questions "
        "that you have related to the problem or series of problems.");
}

QString namePrompt()
{
    return QStringLiteral("Your full name:  ");
}

QString changeFolderQuestion(const QString& defaultFolder)
{
    return QStringLiteral("Enter 1 if you want to change the folder to which your files will be "
                          "written.  The current default folder is ") +
           defaultFolder +
           QStringLiteral(".  If you wish to use this folder, just hit the Enter key");
}

QString changeFolderPrompt(const QString& defaultFolder)
{
    return QStringLiteral("You have chosen to change the folder to which your files will be "
                          "written on your hard drive from the default ") +
           defaultFolder +
           QStringLiteral(".  Enter the path to the folder you wish to use.  You may just hit the "
                          "Enter key to retain the default path.");
}

QString assignmentPrompt()
{
    return QStringLiteral("Assignment Number:  ");
}

QString unsafeNameMessage()
{
    QStringList shown;
    for (const char16_t c : std::u16string_view(kForbiddenNameCharacters)) {
        shown << QString(QChar(c));
    }
    return QStringLiteral("A name cannot hold any of the characters %1 or a control character, "
                          "because it becomes part of the names of your files. Please type your "
                          "name again.")
        .arg(shown.join(u' '));
}
