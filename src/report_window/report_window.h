#pragma once

#include "report_window/report_job.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class OptionControls;
class PathField;
class QCheckBox;
class QGridLayout;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSettings;

// The instructor's report in a window, for those who never open a command
// prompt: the course site's download chosen or dropped, the class list if
// any, and where the results go; one button makes the page, the workbook
// and the grades on a thread of its own while a bar shows the files read;
// then the summary, each problem with its file, and buttons that open what
// was made. The choices are remembered in `settings` for the next start.
class ReportWindow : public QWidget
{
    Q_OBJECT
public:
    // How the window asks for a file or folder, from a folder to start in:
    // the system's own dialogs, unless a test gives others. Empty when
    // nothing was chosen.
    struct Choosers {
        std::function<QStringList(QWidget*, const QString& from)> download; // a ZIP or send files
        std::function<QString(QWidget*, const QString& from)> downloadFolder;
        std::function<QString(QWidget*, const QString& from)> classList;
        std::function<QString(QWidget*, const QString& from)> outputFolder;
    };
    static Choosers systemChoosers();

    explicit ReportWindow(QSettings& settings, Choosers choosers = systemChoosers(),
                          ReportRunner runner = reportRunner(), QWidget* parent = nullptr);
    ~ReportWindow() override;

    // Takes the paths as the download and shows it ready to make, as a drop
    // on the window does; false, told in the window, when they are none.
    bool takeDownload(const QStringList& paths);
    // Makes the report of the download; refused, told, while one is made.
    void makeReport();
    bool running() const { return running_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* button(const char* name, const QString& caption, void (ReportWindow::*handler)());
    PathField* pathRow(QGridLayout* grid, int row, const char* name, const QString& label,
                       std::function<void(const QStringList&)> taken);
    void chooseDownload();
    void chooseDownloadFolder();
    void chooseClassList();
    void chooseOutputFolder();
    QString choosingFrom() const;
    void takeClassList(const QStringList& paths);
    void takeOutputFolder(const QStringList& paths);
    void stopReport();
    void openPage();
    void openWorkbook();
    void openFolder();
    void open(const QString& path);
    void tell(const QString& message);
    void choicesChanged();
    ReportOptions chosenOptions() const;
    QString resultsFolder(const QStringList& paths) const;
    void showProgress();
    void showOutcome(const RunOutcome& outcome);
    void remember() const;
    void restore();

    QSettings& settings_;
    Choosers choosers_;
    PathField* download_ = nullptr;
    PathField* classList_ = nullptr;
    PathField* outputFolder_ = nullptr;
    std::unique_ptr<OptionControls> options_;
    QPushButton* make_ = nullptr;
    QPushButton* stop_ = nullptr;
    QCheckBox* openPageWhenMade_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    QListWidget* problems_ = nullptr;
    QPushButton* openPage_ = nullptr;
    QPushButton* openWorkbook_ = nullptr;
    QPushButton* openFolder_ = nullptr;

    bool running_ = false;
    // The reading threads' latest count, shown once per turn of the event loop.
    std::atomic<std::size_t> filesDone_ = 0;
    std::atomic<std::size_t> filesAll_ = 0;
    std::atomic<bool> progressPosted_ = false;
    QString madeFolder_;
    QString madePage_;
    QString madeWorkbook_;
    ReportJob job_; // last: stopped and waited for before the controls go
};
