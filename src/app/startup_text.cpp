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

QString nameTooLongMessage()
{
    return QStringLiteral("This name is too long, because it becomes part of the names of your "
                          "files: a name can have at most %1 characters (fewer if it has accented "
                          "letters or letters of other alphabets). Please type a shorter name.")
        .arg(longestFullNameBytes());
}

std::optional<QString> refusedNameMessage(const QString& name)
{
    if (!isSafeFileName(name)) {
        return unsafeNameMessage();
    }
    if (!fitsInFileNames(name)) {
        return nameTooLongMessage();
    }
    return std::nullopt;
}

QString alreadyOpenMessage(const QString& fullName, const QString& folder)
{
    return QStringLiteral("qa-tutor is already open for %1 with the folder %2. Please go on in "
                          "that window: this one closes now, with nothing written.")
        .arg(fullName, folder);
}

QString folderFailedPrompt(const QString& folder, const QString& reason)
{
    return QStringLiteral("Your files cannot be written in the folder %1: %2. Enter the path to "
                          "another folder for your files. An empty reply or Cancel ends the "
                          "program with nothing written.")
        .arg(folder, reason);
}

QString argumentRefusedMessage(const QString& argument)
{
    return QStringLiteral("qa-tutor was started with \"%1\", which it does not take: it takes no "
                          "arguments but --help and --version. Start it from the Start menu, or "
                          "double-click qa-tutor.exe without dropping a file on it.")
        .arg(argument);
}
