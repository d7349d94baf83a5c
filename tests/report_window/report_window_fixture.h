#pragma once

// What the window's tests share: a small class's download written by the
// student program's own record writer, the window on settings of its own,
// and a run that waits at its first file until let go.
#include "class_files.h"
#include "qt_printers.h"

#include "report_window/report_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// What the window asked the system to open. Every window test holds one, so
// no test starts a browser.
class Opened : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace
{

// A case of a table is named by its name when it fails.
template <typename Case>
requires requires(const Case& c)
{
    c.name;
}
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

inline const ClassWriter& writer()
{
    static const ClassWriter w;
    return w;
}

// A student's send file of a run through the first `count` questions.
inline std::string sendFile(const QString& student, int count)
{
    QTime clock(9, 0);
    return writer().run(FileRole::send, "001", QDate(2026, 4, 16), clock, "RUN", count, student);
}

// A course site's download of three students, one folder each.
inline std::string classZip()
{
    return zipBytes({{"Ann Lee_1_assignsubmission_file_/send_0416Ann_Lee.txt",
                      sendFile(QStringLiteral("Ann Lee"), 10)},
                     {"Bo Chen_2_assignsubmission_file_/send_0416Bo_Chen.txt",
                      sendFile(QStringLiteral("Bo Chen"), 4)},
                     {"Eve Fox_3_assignsubmission_file_/send_0416Eve_Fox.txt",
                      sendFile(QStringLiteral("Eve Fox"), 7)}});
}

// A run of the report that waits after its first file is read, with the
// window told of it, until let go or stopped.
class Gate
{
public:
    ReportRunner runner()
    {
        return [this](const ReportOptions& options, std::ostream& out, std::ostream& err,
                      const ReadingProgress& progress) {
            const ReadingProgress held{[this, &progress](std::size_t done, std::size_t files) {
                                           progress.read(done, files);
                                           wait(*progress.stop);
                                       },
                                       progress.stop};
            return runReport(options, out, err, held);
        };
    }
    bool reached() const { return reached_; }
    void open()
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

private:
    void wait(const std::atomic<bool>& stop)
    {
        reached_ = true;
        std::unique_lock lock(mutex_);
        while (!open_ && !stop) {
            opened_.wait_for(lock, std::chrono::milliseconds(5));
        }
    }

    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
    std::atomic<bool> reached_ = false;
};

class WindowTest : public testing::Test
{
public:
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const std::string& bytes) const
    {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The window, made anew on the same settings.
    ReportWindow& open(ReportRunner runner = reportRunner())
    {
        window.reset();
        window = std::make_unique<ReportWindow>(settings, choosers, std::move(runner));
        return *window;
    }
    template <typename T> T* control(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QString status() const { return control<QLabel>("runStatus")->text(); }
    bool ended() const
    {
        return QTest::qWaitFor([this] { return !window->running(); }, 20000);
    }
    // What the folder holds that a run left behind: its staging folders.
    QStringList staging(const QString& folder) const
    {
        return QDir(folder).entryList({QStringLiteral(".qa-tutor-report-*")},
                                      QDir::AllEntries | QDir::Hidden);
    }

    WindowTest() { QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open"); }
    ~WindowTest() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    Opened opened;
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    QStringList chosen; // what the choosers answer
    QStringList answer(const QString& from)
    {
        choosingFrom = from;
        return chosen;
    }
    QString choosingFrom; // where the last chooser was asked to start
    ReportWindow::Choosers choosers{
        [this](QWidget*, const QString& from) { return answer(from); },
        [this](QWidget*, const QString& from) { return answer(from).value(0); },
        [this](QWidget*, const QString& from) { return answer(from).value(0); },
        [this](QWidget*, const QString& from) { return answer(from).value(0); }};
    std::unique_ptr<ReportWindow> window;
};

} // namespace
