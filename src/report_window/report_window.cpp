#include "report_window/report_window.h"

#include "report_window/download.h"
#include "report_window/enter_clicks.h"
#include "report_window/option_controls.h"
#include "report_window/path_field.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

const QString kDownloadKey = QStringLiteral("download");
const QString kClassListKey = QStringLiteral("classList");
const QString kOutputFolderKey = QStringLiteral("outputFolder");
const QString kOpenPageKey = QStringLiteral("openPageWhenMade");

bool opened(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString notOpened(const QString& path)
{
    return QStringLiteral("%1: no program on this computer opened it.")
        .arg(QDir::toNativeSeparators(path));
}

QString withoutMnemonic(QString caption)
{
    return caption.remove(u'&').remove(QStringLiteral("…"));
}

// A path as the report takes it: UTF-8, with the system's separators.
std::string reportPath(const QString& text)
{
    return QDir::toNativeSeparators(text).toStdString();
}

} // namespace

ReportWindow::Choosers ReportWindow::systemChoosers()
{
    Choosers choosers;
    choosers.download = [](QWidget* parent, const QString& from) {
        return QFileDialog::getOpenFileNames(
            parent, QStringLiteral("The course site's download"), from,
            QStringLiteral("The download or send files (*.zip *.ZIP *.txt);;All files (*)"));
    };
    choosers.downloadFolder = [](QWidget* parent, const QString& from) {
        return QFileDialog::getExistingDirectory(
            parent, QStringLiteral("The folder of the send files"), from);
    };
    choosers.classList = [](QWidget* parent, const QString& from) {
        return QFileDialog::getOpenFileName(
            parent, QStringLiteral("The class list the course site exported"), from,
            QStringLiteral("Class lists (*.csv *.txt *.tsv *.xls);;All files (*)"));
    };
    choosers.outputFolder = [](QWidget* parent, const QString& from) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Where the results go"),
                                                 from);
    };
    return choosers;
}

ReportWindow::ReportWindow(QSettings& settings, Choosers choosers, ReportRunner runner,
                           QWidget* parent)
    : QWidget(parent), settings_(settings), choosers_(std::move(choosers)), job_(std::move(runner))
{
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QStringLiteral("qa-tutor report"));
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);

    // Made in the order Tab goes through them.
    auto* files = new QGridLayout;
    layout->addLayout(files);
    download_ = pathRow(files, 0, "downloadPath", QStringLiteral("Course site's &download:"),
                        [this](const QStringList& paths) { takeDownload(paths); });
    download_->setToolTip(QStringLiteral("A ZIP archive, a folder or send files: drop them on "
                                         "the window, or choose them"));
    auto* choose = new QHBoxLayout;
    choose->addWidget(button("chooseDownload", QStringLiteral("Choose a ZIP or files…"),
                             &ReportWindow::chooseDownload));
    choose->addWidget(button("chooseDownloadFolder", QStringLiteral("Choose a folder…"),
                             &ReportWindow::chooseDownloadFolder));
    files->addLayout(choose, 0, 2);
    classList_ = pathRow(files, 1, "classListPath", QStringLiteral("&Class list (if any):"),
                         [this](const QStringList& paths) { takeClassList(paths); });
    classList_->setPlaceholderText(QStringLiteral("none: the students who sent files"));
    files->addWidget(button("chooseClassList", QStringLiteral("Choose the class list…"),
                            &ReportWindow::chooseClassList),
                     1, 2);
    outputFolder_ = pathRow(files, 2, "outputFolder", QStringLiteral("&Results go to:"),
                            [this](const QStringList& paths) { takeOutputFolder(paths); });
    files->addWidget(button("chooseOutputFolder", QStringLiteral("Choose the folder…"),
                            &ReportWindow::chooseOutputFolder),
                     2, 2);
    const std::string rosterHelp(reportOption("--roster")->help);
    classList_->setToolTip(QString::fromStdString(rosterHelp));

    auto* optionsBox = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsLayout = new QFormLayout(optionsBox);
    options_ = std::make_unique<OptionControls>(optionsBox, optionsLayout);
    layout->addWidget(optionsBox);

    auto* runRow = new QHBoxLayout;
    make_ = button("makeReport", QStringLiteral("&Make the page, workbook and grades"),
                   &ReportWindow::makeReport);
    stop_ = button("stopReport", QStringLiteral("&Stop"), &ReportWindow::stopReport);
    stop_->setEnabled(false);
    runRow->addWidget(make_);
    runRow->addWidget(stop_);
    // The page is what an instructor makes the report for: shown at once,
    // unless they would rather open it themselves.
    openPageWhenMade_ = new QCheckBox(QStringLiteral("&Open the page when it is made"), this);
    openPageWhenMade_->setObjectName(QStringLiteral("openPageWhenMade"));
    openPageWhenMade_->setAccessibleName(withoutMnemonic(openPageWhenMade_->text()));
    openPageWhenMade_->setChecked(true);
    runRow->addWidget(openPageWhenMade_);
    runRow->addStretch();
    layout->addLayout(runRow);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("readingProgress"));
    progress_->setAccessibleName(QStringLiteral("Files read"));
    progress_->setFormat(QStringLiteral("%v of %m files read"));
    progress_->setValue(0);
    layout->addWidget(progress_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("runStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);

    auto* summaryLabel = new QLabel(QStringLiteral("S&ummary:"), this);
    layout->addWidget(summaryLabel);
    summary_ = new QPlainTextEdit(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setAccessibleName(QStringLiteral("Summary"));
    summary_->setReadOnly(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    summary_->setTabChangesFocus(true);
    summary_->setAcceptDrops(false);
    summary_->setLineWrapMode(QPlainTextEdit::NoWrap);
    summary_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    summaryLabel->setBuddy(summary_);
    layout->addWidget(summary_, 3);
    auto* problemsLabel = new QLabel(QStringLiteral("Pro&blems:"), this);
    layout->addWidget(problemsLabel);
    problems_ = new QListWidget(this);
    problems_->setObjectName(QStringLiteral("problems"));
    problems_->setAccessibleName(QStringLiteral("Problems"));
    problems_->setAcceptDrops(false);
    problemsLabel->setBuddy(problems_);
    layout->addWidget(problems_, 1);

    auto* openRow = new QHBoxLayout;
    openPage_ = button("openPage", QStringLiteral("Open the &page"), &ReportWindow::openPage);
    openWorkbook_ =
        button("openWorkbook", QStringLiteral("Open the &workbook"), &ReportWindow::openWorkbook);
    openFolder_ =
        button("openFolder", QStringLiteral("Open the &folder"), &ReportWindow::openFolder);
    for (QPushButton* b : {openPage_, openWorkbook_, openFolder_}) {
        b->setEnabled(false);
        openRow->addWidget(b);
    }
    openRow->addStretch();
    layout->addLayout(openRow);

    connect(download_, &QLineEdit::returnPressed, this, &ReportWindow::makeReport);
    connect(download_, &QLineEdit::textChanged, this, &ReportWindow::choicesChanged);
    connect(classList_, &QLineEdit::textChanged, this, &ReportWindow::choicesChanged);
    connect(outputFolder_, &QLineEdit::textChanged, this, &ReportWindow::choicesChanged);
    restore();
    choicesChanged();
    if (download_->text().isEmpty()) {
        tell(QStringLiteral("Drop the course site's download on this window, or choose it."));
    } else {
        takeDownload(downloadPaths(download_->text()));
    }
    resize(760, 700);
}

ReportWindow::~ReportWindow()
{
    job_.stop();
    job_.wait();
}

QPushButton* ReportWindow::button(const char* name, const QString& caption,
                                  void (ReportWindow::*handler)())
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(withoutMnemonic(caption));
    b->installEventFilter(new EnterClicks(b));
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

PathField* ReportWindow::pathRow(QGridLayout* grid, int row, const char* name, const QString& label,
                                 std::function<void(const QStringList&)> taken)
{
    auto* caption = new QLabel(label, this);
    auto* field = new PathField(QString::fromLatin1(name), std::move(taken), this);
    field->setAccessibleName(withoutMnemonic(label).remove(u':'));
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

// The download's folder, where the class list and the results are too;
// before any, the folder browsers download into.
QString ReportWindow::choosingFrom() const
{
    const QString beside = besideTheDownload(downloadPaths(download_->text()));
    return beside.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)
                            : beside;
}

void ReportWindow::chooseDownload()
{
    if (const QStringList paths = choosers_.download(this, choosingFrom()); !paths.isEmpty()) {
        takeDownload(paths);
    }
}

void ReportWindow::chooseDownloadFolder()
{
    if (const QString path = choosers_.downloadFolder(this, choosingFrom()); !path.isEmpty()) {
        takeDownload({path});
    }
}

void ReportWindow::chooseClassList()
{
    if (const QString path = choosers_.classList(this, choosingFrom()); !path.isEmpty()) {
        takeClassList({path});
    }
}

void ReportWindow::chooseOutputFolder()
{
    if (const QString path = choosers_.outputFolder(this, choosingFrom()); !path.isEmpty()) {
        takeOutputFolder({path});
    }
}

bool ReportWindow::takeDownload(const QStringList& paths)
{
    if (const QString problem = downloadProblem(paths); !problem.isEmpty()) {
        tell(problem);
        return false;
    }
    download_->setText(downloadText(paths));
    // A run under way keeps its message; the next is made of this download.
    if (!running_) {
        const QStringList names = outputNames(paths);
        tell(QStringLiteral("Ready: press \"Make\" to write %1, %2 and %3 to %4.")
                 .arg(names[0], names[1], names[2], resultsFolder(paths)));
        make_->setFocus();
    }
    return true;
}

// The folder chosen, a relative one from the download's; else beside it.
QString ReportWindow::resultsFolder(const QStringList& paths) const
{
    const QString beside = besideTheDownload(paths);
    const QString chosen = outputFolder_->text().trimmed();
    return chosen.isEmpty() ? beside
                            : QDir::toNativeSeparators(QDir(beside).absoluteFilePath(chosen));
}

void ReportWindow::takeClassList(const QStringList& paths)
{
    if (paths.size() != 1) {
        tell(QStringLiteral("Drop one class list: the file the course site exported."));
        return;
    }
    classList_->setText(QDir::toNativeSeparators(paths.front()));
}

void ReportWindow::takeOutputFolder(const QStringList& paths)
{
    if (paths.size() != 1 || !QFileInfo(paths.front()).isDir()) {
        tell(QStringLiteral("%1: not a folder: drop the one folder the results go to.")
                 .arg(QDir::toNativeSeparators(paths.join(QStringLiteral(", ")))));
        return;
    }
    outputFolder_->setText(QDir::toNativeSeparators(paths.front()));
}

void ReportWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!PathField::droppedPaths(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void ReportWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = PathField::droppedPaths(event->mimeData());
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        takeDownload(paths);
    }
}

// The options as the command line would take them; the files the report
// writes are set where the run writes them.
ReportOptions ReportWindow::chosenOptions() const
{
    ReportOptions options;
    for (const QString& path : downloadPaths(download_->text())) {
        options.paths.push_back(reportPath(path));
    }
    options.roster = reportPath(classList_->text().trimmed());
    options.html = options.xlsx = options.grades = "-";
    options_->apply(options);
    return options;
}

void ReportWindow::choicesChanged()
{
    options_->enableFor(chosenOptions());
    const QString beside = besideTheDownload(downloadPaths(download_->text()));
    outputFolder_->setPlaceholderText(beside.isEmpty()
                                          ? QStringLiteral("beside the download")
                                          : QStringLiteral("beside the download: ") + beside);
}

void ReportWindow::makeReport()
{
    if (running_) {
        tell(QStringLiteral("A report is being made already: wait for its end, or press "
                            "\"Stop\", before making another."));
        return;
    }
    const QStringList paths = downloadPaths(download_->text());
    if (const QString problem = downloadProblem(paths); !problem.isEmpty()) {
        tell(problem);
        return;
    }
    ReportJob::Plan plan{chosenOptions(), resultsFolder(paths), outputNames(paths)};
    if (const std::string conflict = optionsConflict(plan.options); !conflict.empty()) {
        tell(QString::fromStdString(conflict));
        return;
    }
    remember();
    running_ = true;
    make_->setEnabled(false);
    stop_->setEnabled(true);
    for (QPushButton* b : {openPage_, openWorkbook_, openFolder_}) {
        b->setEnabled(false);
    }
    summary_->clear();
    problems_->clear();
    progress_->setRange(0, 0);
    filesDone_ = 0;
    filesAll_ = 0;
    tell(QStringLiteral("Reading the download…"));
    const auto progress = [this](std::size_t done, std::size_t files) {
        filesDone_ = done;
        filesAll_ = files;
        if (!progressPosted_.exchange(true)) {
            QMetaObject::invokeMethod(this, &ReportWindow::showProgress, Qt::QueuedConnection);
        }
    };
    const auto finished = [this](const RunOutcome& outcome) {
        QMetaObject::invokeMethod(
            this, [this, outcome] { showOutcome(outcome); }, Qt::QueuedConnection);
    };
    job_.start(std::move(plan), progress, finished);
}

void ReportWindow::showProgress()
{
    progressPosted_ = false;
    progress_->setRange(0, std::max(static_cast<int>(filesAll_), 1));
    progress_->setValue(static_cast<int>(filesDone_));
}

void ReportWindow::stopReport()
{
    job_.stop();
    tell(QStringLiteral("Stopping…"));
}

void ReportWindow::showOutcome(const RunOutcome& outcome)
{
    job_.wait();
    running_ = false;
    make_->setEnabled(true);
    stop_->setEnabled(false);
    showProgress();
    summary_->setPlainText(outcome.summary);
    for (const QString& problem : outcome.problems) {
        // A long line is read whole when pointed at.
        auto* item = new QListWidgetItem(problem, problems_);
        item->setToolTip(problem);
    }
    madePage_.clear();
    madeWorkbook_.clear();
    for (const QString& path : outcome.made) {
        if (path.endsWith(QStringLiteral(".html"))) {
            madePage_ = path;
        } else if (path.endsWith(QStringLiteral(".xlsx"))) {
            madeWorkbook_ = path;
        }
    }
    madeFolder_ = outcome.folder;
    openPage_->setEnabled(!madePage_.isEmpty());
    openWorkbook_->setEnabled(!madeWorkbook_.isEmpty());
    openFolder_->setEnabled(!outcome.made.isEmpty());
    QString message = outcomeMessage(outcome);
    // A page no browser took is still made: told after what was made, not
    // in its place.
    if (!madePage_.isEmpty() && openPageWhenMade_->isChecked() && !opened(madePage_)) {
        message += u' ' + notOpened(madePage_);
    }
    tell(message);
    if (openPage_->isEnabled()) {
        openPage_->setFocus();
    } else if (problems_->count() > 0) {
        problems_->setFocus();
    }
}

void ReportWindow::openPage()
{
    open(madePage_);
}

void ReportWindow::openWorkbook()
{
    open(madeWorkbook_);
}

void ReportWindow::openFolder()
{
    open(madeFolder_);
}

void ReportWindow::open(const QString& path)
{
    if (!opened(path)) {
        tell(notOpened(path));
    }
}

void ReportWindow::tell(const QString& message)
{
    status_->setText(message);
}

void ReportWindow::closeEvent(QCloseEvent* event)
{
    if (running_) {
        job_.stop();
        job_.wait();
    }
    remember();
    QWidget::closeEvent(event);
}

void ReportWindow::remember() const
{
    settings_.setValue(kDownloadKey, download_->text());
    settings_.setValue(kClassListKey, classList_->text());
    settings_.setValue(kOutputFolderKey, outputFolder_->text());
    settings_.setValue(kOpenPageKey, openPageWhenMade_->isChecked());
    options_->remember(settings_);
}

void ReportWindow::restore()
{
    options_->restore(settings_);
    classList_->setText(settings_.value(kClassListKey).toString());
    outputFolder_->setText(settings_.value(kOutputFolderKey).toString());
    openPageWhenMade_->setChecked(settings_.value(kOpenPageKey, true).toBool());
    const QString download = settings_.value(kDownloadKey).toString();
    if (downloadProblem(downloadPaths(download)).isEmpty()) {
        download_->setText(download);
    }
}
