// The window's runs: what each download and choice gives, the files moved
// into place only when whole, and a run stopped, closed or doubled.
#include "report_window_fixture.h"

#include "test_system.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include <functional>
#include <optional>

namespace
{

const QStringList kOutputs = {QStringLiteral("submissions.html"),
                              QStringLiteral("submissions.xlsx"),
                              QStringLiteral("submissions-grades.csv")};

// Each output of an earlier run, which a run that writes nothing leaves.
std::string earlier(const QString& name)
{
    return "earlier " + name.toStdString();
}

std::string tornClassZip()
{
    QTime clock(13, 0);
    std::string bo = sendFile(QStringLiteral("Bo Chen"), 4);
    const auto& q = writer().questions("001")[4];
    bo += ClassWriter::head(FileRole::send, QTime(15, 0), "001", q.number, q.entry, "I think 7");
    return zipBytes({{"Ann Lee_1_assignsubmission_file_/send_0416Ann_Lee.txt",
                      sendFile(QStringLiteral("Ann Lee"), 10)},
                     {"Bo Chen_2_assignsubmission_file_/send_0416Bo_Chen.txt", bo}});
}

const std::string kCanvasExport = "Student,ID,SIS User ID,SIS Login ID,Section\n"
                                  "    Points Possible,,,,\n"
                                  "\"Lee, Ann\",48213,,alee,A\n\"Chen, Bo\",48215,,bchen,A\n"
                                  "\"Fox, Eve\",48218,,efox,A\n\"Park, Dee\",48219,,dpark,A\n";

struct RunCase {
    const char* name;
    std::string download;                   // submissions.zip's bytes
    std::function<void(WindowTest&)> setUp; // the class list, the folder the results go to
    const char* status;                     // in the window's message
    QStringList made;                       // the outputs new in the folder
    const char* problem;                    // in a line of the problems; null for none
    const char* summary;                    // in the summary; null for nothing to check
    std::uintmax_t sizeLimit = 0;           // of every file written, to make a write fail
    QString folder = {};                    // where they go, when not beside the download
    const char* grades = nullptr;           // how the grades begin
    bool pageOpens = true;                  // in the browser, when it is made
};

class Runs : public WindowTest, public testing::WithParamInterface<RunCase>
{
};

TEST_P(Runs, GiveTheirFilesWholeOrNoneAndTellTheProblems)
{
    const RunCase& c = GetParam();
    if (c.sizeLimit && kNoFileSizeLimit) {
        GTEST_SKIP() << kNoFileSizeLimit;
    }
    write(QStringLiteral("submissions.zip"), c.download);
    for (const QString& name : kOutputs) {
        write(name, earlier(name));
    }
    ReportWindow& w = open();
    if (c.setUp) {
        c.setUp(*this);
    }
    ASSERT_TRUE(w.takeDownload({path(QStringLiteral("submissions.zip"))}))
        << status().toStdString();
    {
        std::optional<FileSizeLimit> limit;
        if (c.sizeLimit) {
            limit.emplace(c.sizeLimit);
        }
        w.makeReport();
        ASSERT_TRUE(ended());
    }
    EXPECT_TRUE(status().contains(QString::fromUtf8(c.status))) << status().toStdString();
    const QString at = c.folder.isEmpty() ? QString() : c.folder + u'/';
    for (const QString& name : kOutputs) {
        const QByteArray now = read(at + name);
        if (c.made.contains(name)) {
            EXPECT_FALSE(now.isEmpty() || now.toStdString() == earlier(name)) << name.toStdString();
        }
        if ((!c.made.contains(name) || !at.isEmpty()) && QFileInfo(path(name)).isFile()) {
            EXPECT_EQ(read(name).toStdString(), earlier(name)) << name.toStdString();
        }
    }
    EXPECT_EQ(staging(dir.path()), QStringList());
    EXPECT_EQ(staging(path(c.folder)), QStringList());
    QStringList problems;
    for (int i = 0; i < control<QListWidget>("problems")->count(); ++i) {
        problems << control<QListWidget>("problems")->item(i)->text();
    }
    if (c.problem) {
        EXPECT_TRUE(problems.join(u'\n').contains(QString::fromUtf8(c.problem)))
            << problems.join(u'\n').toStdString();
    } else {
        EXPECT_EQ(problems, QStringList());
    }
    const QString summary = control<QPlainTextEdit>("summary")->toPlainText();
    if (c.summary) {
        EXPECT_TRUE(summary.contains(QString::fromUtf8(c.summary))) << summary.toStdString();
    }
    if (c.grades) {
        EXPECT_TRUE(read(kOutputs[2]).startsWith(c.grades)) << read(kOutputs[2]).toStdString();
    }
    EXPECT_EQ(control<QPushButton>("openPage")->isEnabled(), c.made.contains(kOutputs[0]));
    // The page made is opened at once, unless asked not to, and nothing else.
    const QList<QUrl> pageOpened = {QUrl::fromLocalFile(path(at + kOutputs[0]))};
    EXPECT_EQ(opened.urls,
              c.pageOpens && c.made.contains(kOutputs[0]) ? pageOpened : QList<QUrl>());
}

void classList(WindowTest& t, const std::string& bytes)
{
    t.write(QStringLiteral("export.csv"), bytes);
    t.window->findChild<QLineEdit*>(QStringLiteral("classListPath"))
        ->setText(t.path(QStringLiteral("export.csv")));
}

void resultsTo(WindowTest& t, const QString& name)
{
    t.window->findChild<QLineEdit*>(QStringLiteral("outputFolder"))->setText(t.path(name));
}

INSTANTIATE_TEST_SUITE_P(
    Window, Runs,
    testing::Values(
        RunCase{"AClassZip",
                classZip(),
                nullptr,
                "Made submissions.html, submissions.xlsx, "
                "submissions-grades.csv in",
                kOutputs,
                nullptr,
                "Eve Fox\n  assignment 001",
                0,
                {},
                // Without a class list, the gradebook by name.
                "student,001 answered,001 of,"},
        RunCase{
            "ATornRecordListedWithItsFile", tornClassZip(), nullptr, "Made", kOutputs,
            "submissions.zip:Bo Chen_2_assignsubmission_file_/send_0416Bo_Chen.txt:", "Bo Chen"},
        RunCase{"AClassListOfCanvas",
                classZip(),
                [](WindowTest& test) { classList(test, kCanvasExport); },
                "Made",
                kOutputs,
                nullptr,
                "sent nothing: Dee Park",
                0,
                {},
                // The import of the site the class list comes from.
                "Student,ID,SIS User ID,SIS Login ID,Section,qa-tutor 001\r\n"
                "    Points Possible,,,,,10\r\n"},
        // Told, yet no failure: the report's status is 0.
        RunCase{"AStudentNotOnTheClassList", classZip(),
                [](WindowTest& test) {
                    std::string list = kCanvasExport;
                    classList(test, list.erase(list.find("\"Fox")));
                },
                "; see the 2 problems below.", kOutputs, "Eve Fox is on no row of", "Eve Fox"},
        RunCase{"AClassListThatIsNone",
                classZip(),
                [](WindowTest& test) { classList(test, "%PDF-1.7\n\xE2\xE3\xCF\xD3\n"); },
                "Nothing was made: ",
                {},
                "export.csv: not a class list: ",
                nullptr},
        RunCase{"AZipThatIsNone",
                "%PDF-1.7\n\xE2\xE3\xCF\xD3\n",
                nullptr,
                "Nothing was made: ",
                {},
                "submissions.zip: Not a zip archive",
                nullptr},
        RunCase{"AZipWithoutSendFiles",
                zipBytes({{"readme.txt", "Hello\r\n"}}),
                nullptr,
                "Nothing was made: ",
                {},
                "no send files found in",
                nullptr},
        // Typed as a name alone, the folder is the download's.
        RunCase{"AFolderNamedFromTheDownloads", classZip(),
                [](WindowTest& test) {
                    QDir(test.dir.path()).mkpath(QStringLiteral("results"));
                    test.window->findChild<QLineEdit*>(QStringLiteral("outputFolder"))
                        ->setText(QStringLiteral("results"));
                },
                "Made", kOutputs, nullptr, nullptr, 0, QStringLiteral("results")},
        // An instructor who would rather open the page themselves.
        RunCase{"APageLeftClosedWhenAsked",
                classZip(),
                [](WindowTest& test) {
                    test.window->findChild<QCheckBox*>(QStringLiteral("openPageWhenMade"))
                        ->setChecked(false);
                },
                "Made",
                kOutputs,
                nullptr,
                nullptr,
                0,
                {},
                nullptr,
                false},
        RunCase{"AFolderThatIsNot",
                classZip(),
                [](WindowTest& test) { resultsTo(test, QStringLiteral("gone")); },
                "Nothing was written",
                {},
                "gone: No such file or directory",
                nullptr},
        RunCase{"AFileForTheFolder",
                classZip(),
                [](WindowTest& test) { resultsTo(test, QStringLiteral("submissions.zip")); },
                "Nothing was written",
                {},
                "submissions.zip: ",
                nullptr},
        RunCase{"APageThatCannotReplaceAFolder", classZip(),
                [](WindowTest& test) {
                    QFile::remove(test.path(kOutputs[0]));
                    QDir().mkpath(test.path(kOutputs[0]) + QStringLiteral("/kept"));
                },
                "Made submissions.xlsx, submissions-grades.csv in", kOutputs.mid(1),
                "submissions.html: ", nullptr},
        RunCase{"AFileTooLargeToWrite",
                classZip(),
                nullptr,
                "Nothing was written",
                {},
                "submissions.html: ",
                nullptr,
                4096}),
    [](const auto& param) { return std::string(param.param.name); });

class DuringARun : public WindowTest
{
protected:
    // A run begun on the class's ZIP, waiting after its first file.
    ReportWindow& begin()
    {
        write(QStringLiteral("submissions.zip"), classZip());
        for (const QString& name : kOutputs) {
            write(name, earlier(name));
        }
        ReportWindow& w = open(gate.runner());
        w.show();
        EXPECT_TRUE(w.takeDownload({path(QStringLiteral("submissions.zip"))}));
        w.makeReport();
        EXPECT_TRUE(QTest::qWaitFor([this] { return gate.reached(); }, 20000));
        return w;
    }
    void expectEarlierFilesAlone()
    {
        for (const QString& name : kOutputs) {
            EXPECT_EQ(read(name).toStdString(), earlier(name));
        }
        EXPECT_EQ(staging(dir.path()), QStringList());
    }

    Gate gate;
};

// The bar shows the files read while the reading waits: the window answers.
TEST_F(DuringARun, TheBarMovesAsFilesAreRead)
{
    begin();
    auto* bar = control<QProgressBar>("readingProgress");
    // Each reading thread waits after its first file.
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->value() >= 1 && bar->maximum() == 3; }, 5000))
        << bar->value() << " of " << bar->maximum();
    EXPECT_TRUE(window->running());
    gate.open();
    ASSERT_TRUE(ended());
    EXPECT_EQ(bar->value(), 3);
}

TEST_F(DuringARun, ASecondRunIsRefused)
{
    ReportWindow& w = begin();
    EXPECT_FALSE(control<QPushButton>("makeReport")->isEnabled());
    // Enter in the download's field asks for a run too.
    QTest::keyClick(control<QLineEdit>("downloadPath"), Qt::Key_Return);
    EXPECT_TRUE(status().startsWith(QStringLiteral("A report is being made already")))
        << status().toStdString();
    EXPECT_TRUE(w.running());
    gate.open();
    ASSERT_TRUE(ended());
    EXPECT_TRUE(status().startsWith(QStringLiteral("Made"))) << status().toStdString();
}

TEST_F(DuringARun, StopLeavesTheEarlierFiles)
{
    begin();
    control<QPushButton>("stopReport")->click();
    ASSERT_TRUE(ended());
    EXPECT_TRUE(status().startsWith(QStringLiteral("Stopped"))) << status().toStdString();
    expectEarlierFilesAlone();
}

TEST_F(DuringARun, ClosingTheWindowStopsItAndLeavesNothingHalfWritten)
{
    ReportWindow& w = begin();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    expectEarlierFilesAlone();
    window.reset();
}

class Remembered : public WindowTest
{
};

TEST_F(Remembered, TheLastChoicesAtTheNextStart)
{
    write(QStringLiteral("submissions.zip"), classZip());
    QDir().mkpath(path(QStringLiteral("results")));
    open().takeDownload({path(QStringLiteral("submissions.zip"))});
    classList(*this, kCanvasExport);
    resultsTo(*this, QStringLiteral("results"));
    control<QComboBox>("grades-format")->setCurrentIndex(2);
    control<QCheckBox>("recursive")->setChecked(false);
    control<QCheckBox>("openPageWhenMade")->setChecked(false);
    window->close();
    open();
    EXPECT_EQ(control<QLineEdit>("downloadPath")->text(),
              QDir::toNativeSeparators(path(QStringLiteral("submissions.zip"))));
    EXPECT_EQ(control<QLineEdit>("classListPath")->text(), path(QStringLiteral("export.csv")));
    EXPECT_EQ(control<QLineEdit>("outputFolder")->text(), path(QStringLiteral("results")));
    EXPECT_EQ(control<QComboBox>("grades-format")->currentIndex(), 2);
    EXPECT_FALSE(control<QCheckBox>("recursive")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("openPageWhenMade")->isChecked());
    EXPECT_TRUE(status().startsWith(QStringLiteral("Ready"))) << status().toStdString();
}

class NoBrowser : public WindowTest
{
};

// With no program to open the page, the run's outcome is still told, the
// failure after it.
TEST_F(NoBrowser, ThePageMadeIsToldAndWhyItDidNotOpen)
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    // No xdg-open to find, whatever the platform tries.
    const QByteArray searchPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    write(QStringLiteral("submissions.zip"), classZip());
    ReportWindow& w = open();
    w.takeDownload({path(QStringLiteral("submissions.zip"))});
    w.makeReport();
    const bool done = ended();
    qputenv("PATH", searchPath);
    ASSERT_TRUE(done);
    EXPECT_TRUE(status().startsWith(QStringLiteral("Made submissions.html")))
        << status().toStdString();
    EXPECT_TRUE(status().endsWith(QDir::toNativeSeparators(path(kOutputs[0])) +
                                  QStringLiteral(": no program on this computer opened it.")))
        << status().toStdString();
}

struct OpenCase {
    const char* name;
    const char* button;
    QString opened; // in the test's folder
};

class Opening : public WindowTest, public testing::WithParamInterface<OpenCase>
{
};

TEST_P(Opening, OpensWhatTheRunMade)
{
    write(QStringLiteral("submissions.zip"), classZip());
    ReportWindow& w = open();
    w.takeDownload({path(QStringLiteral("submissions.zip"))});
    w.makeReport();
    ASSERT_TRUE(ended());
    opened.urls.clear();
    control<QPushButton>(GetParam().button)->click();
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(QFileInfo(opened.urls[0].toLocalFile()), QFileInfo(path(GetParam().opened)));
}

INSTANTIATE_TEST_SUITE_P(Window, Opening,
                         testing::Values(OpenCase{"ThePage", "openPage", "submissions.html"},
                                         OpenCase{"TheWorkbook", "openWorkbook",
                                                  "submissions.xlsx"},
                                         OpenCase{"TheFolder", "openFolder", "."}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
