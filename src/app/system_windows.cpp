#include "app/system.h"

#include "app/qt_platform.h"
#include "app/startup_text.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>

#include <cstdio>

#include <windows.h>

#include <shellapi.h>

// The folder Windows students of this course have always been told.
QString platformDefaultFolder()
{
    return QStringLiteral("c:\\tutrdata");
}

// A Windows session always has its desktop.
std::optional<std::string> missingDisplay()
{
    return std::nullopt;
}

// The console of the Command Prompt that started the program, unless the
// output goes to a file or a pipe already; started from Explorer or the Start
// menu there is none, and nothing is shown.
void showCommandLineAnswers()
{
    const bool hasOutput = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
    if (!hasOutput && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* reopened = nullptr;
        freopen_s(&reopened, "CONOUT$", "w", stdout);
        freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
}

// The argument as Windows has it, whole: the narrow one main is given keeps
// only the letters of the system's code page.
void showArgumentRefusal(int index)
{
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    const QString argument =
        words != nullptr && index < count ? QString::fromWCharArray(words[index]) : QString();
    LocalFree(words);
    // Qt reads none of the refused words as options of its own.
    char name[] = "qa-tutor";
    char* arguments[] = {name, nullptr};
    int one = 1;
    QApplication application(one, arguments);
    nameTheApplication();
    QtPlatform().message(nullptr, argumentRefusedMessage(argument));
}

namespace
{

// Whether the latest key-down message of each key was of a key already down.
class SystemKeys final : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
            alreadyDown_[msg->wParam] = (msg->lParam & (LPARAM{1} << 30)) != 0;
        }
        return false;
    }
    std::optional<bool> alreadyDown(quint32 key) const
    {
        const auto found = alreadyDown_.constFind(key);
        return found != alreadyDown_.cend() ? std::optional<bool>(*found) : std::nullopt;
    }

private:
    QHash<WPARAM, bool> alreadyDown_;
};

SystemKeys& systemKeys()
{
    static SystemKeys keys;
    return keys;
}

} // namespace

void watchSystemKeys()
{
    static const bool watching =
        (QCoreApplication::instance()->installNativeEventFilter(&systemKeys()), true);
    Q_UNUSED(watching);
}

// Told by its key's latest key-down message: another of the same key between
// the message and its press would take a stall past the repeat delay.
std::optional<bool> systemRepeat(const QKeyEvent& event)
{
    if (event.type() != QEvent::KeyPress || event.nativeVirtualKey() == 0) {
        return std::nullopt;
    }
    return systemKeys().alreadyDown(event.nativeVirtualKey());
}
