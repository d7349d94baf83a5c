#include "plain_report_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, bool enabled = true)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setEnabled(enabled);
    return b;
}

// A labelled field of a path; the label gives it the focus, and so shows
// its mnemonic.
QLineEdit* pathRow(QWidget* parent, QGridLayout* grid, int row, const QString& caption,
                   const char* name)
{
    auto* label = new QLabel(caption, parent);
    auto* field = named(new QLineEdit(parent), name);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& values)
{
    auto* box = named(new QComboBox(parent), name);
    box->addItems(QStringList{QStringLiteral("default")} + values);
    box->setEnabled(false);
    return box;
}

} // namespace

PlainReportWindow::PlainReportWindow()
{
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QStringLiteral("qa-tutor report"));
    auto* layout = new QVBoxLayout(this);
    auto* files = new QGridLayout;
    layout->addLayout(files);
    pathRow(this, files, 0, QStringLiteral("Course site's &download:"), "downloadPath");
    auto* choose = new QHBoxLayout;
    choose->addWidget(button(this, "chooseDownload", QStringLiteral("Choose a ZIP or files…")));
    choose->addWidget(button(this, "chooseDownloadFolder", QStringLiteral("Choose a folder…")));
    files->addLayout(choose, 0, 2);
    auto* classList =
        pathRow(this, files, 1, QStringLiteral("&Class list (if any):"), "classListPath");
    classList->setPlaceholderText(QStringLiteral("none: the students who sent files"));
    files->addWidget(button(this, "chooseClassList", QStringLiteral("Choose the class list…")), 1,
                     2);
    auto* outputFolder = pathRow(this, files, 2, QStringLiteral("&Results go to:"), "outputFolder");
    outputFolder->setPlaceholderText(QStringLiteral("beside the download"));
    files->addWidget(button(this, "chooseOutputFolder", QStringLiteral("Choose the folder…")), 2,
                     2);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* form = new QFormLayout(options);
    form->addRow(
        QStringLiteral("Grades format:"),
        list(options, "grades-format",
             {QStringLiteral("canvas"), QStringLiteral("moodle"), QStringLiteral("blackboard"),
              QStringLiteral("brightspace"), QStringLiteral("names")}));
    form->addRow(
        QStringLiteral("Grade by:"),
        list(options, "grade-by",
             {QStringLiteral("both"), QStringLiteral("answered"), QStringLiteral("critiqued")}));
    form->addRow(named(
        new QCheckBox(QStringLiteral("Begin the CSV files with a UTF-8 byte order mark"), options),
        "csv-bom"));
    auto* recursive = named(
        new QCheckBox(QStringLiteral("Read the send files in the folders' subfolders as well"),
                      options),
        "recursive");
    recursive->setChecked(true);
    form->addRow(recursive);
    layout->addWidget(options);

    auto* runRow = new QHBoxLayout;
    runRow->addWidget(
        button(this, "makeReport", QStringLiteral("&Make the page, workbook and grades")));
    runRow->addWidget(button(this, "stopReport", QStringLiteral("&Stop"), false));
    auto* openWhenMade = named(
        new QCheckBox(QStringLiteral("&Open the page when it is made"), this), "openPageWhenMade");
    openWhenMade->setChecked(true);
    runRow->addWidget(openWhenMade);
    runRow->addStretch();
    layout->addLayout(runRow);
    auto* progress = named(new QProgressBar(this), "readingProgress");
    progress->setFormat(QStringLiteral("%v of %m files read"));
    progress->setValue(0);
    layout->addWidget(progress);
    auto* status = named(
        new QLabel(QStringLiteral("Drop the course site's download on this window, or choose it."),
                   this),
        "runStatus");
    status->setWordWrap(true);
    layout->addWidget(status);
    auto* summaryLabel = new QLabel(QStringLiteral("S&ummary:"), this);
    layout->addWidget(summaryLabel);
    auto* summary = named(new QPlainTextEdit(this), "summary");
    summaryLabel->setBuddy(summary);
    summary->setReadOnly(true);
    summary->setLineWrapMode(QPlainTextEdit::NoWrap);
    summary->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(summary, 3);
    auto* problemsLabel = new QLabel(QStringLiteral("Pro&blems:"), this);
    layout->addWidget(problemsLabel);
    auto* problems = named(new QListWidget(this), "problems");
    problemsLabel->setBuddy(problems);
    layout->addWidget(problems, 1);
    auto* openRow = new QHBoxLayout;
    openRow->addWidget(button(this, "openPage", QStringLiteral("Open the &page"), false));
    openRow->addWidget(button(this, "openWorkbook", QStringLiteral("Open the &workbook"), false));
    openRow->addWidget(button(this, "openFolder", QStringLiteral("Open the &folder"), false));
    openRow->addStretch();
    layout->addLayout(openRow);
    resize(760, 700);
}
