// The window's controls, its options from the command line's table, and
// the download it takes or refuses, with the reason.
#include "report_window_fixture.h"

#include "report/report_options.h"
#include "report_window/download.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>

#include <functional>
#include <map>
#include <set>
#include <system_error>

namespace
{

class Controls : public WindowTest
{
};

// Tab reaches every control that takes the focus, each named for a screen
// reader, once a run has enabled them all.
TEST_F(Controls, EveryControlIsNamedAndReachedByTab)
{
    write(QStringLiteral("submissions.zip"), classZip());
    ReportWindow& w = open();
    w.show();
    ASSERT_TRUE(w.takeDownload({path(QStringLiteral("submissions.zip"))}));
    w.makeReport();
    ASSERT_TRUE(ended());
    std::set<QWidget*> controls;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if ((c->focusPolicy() & Qt::TabFocus) && c->isVisibleTo(&w) && c->isEnabled() &&
            !c->objectName().startsWith(QStringLiteral("qt_"))) {
            controls.insert(c);
            EXPECT_FALSE(c->objectName().isEmpty()) << c->metaObject()->className();
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(c);
            ASSERT_NE(read, nullptr);
            EXPECT_FALSE(read->text(QAccessible::Name).isEmpty()) << c->objectName().toStdString();
        }
    }
    EXPECT_GE(controls.size(), 15u);
    QWidget* const first = *controls.begin();
    std::set<QWidget*> reached = {first};
    QWidget* at = first;
    for (int step = 0; step < 1000 && (at = at->nextInFocusChain()) != first; ++step) {
        if (controls.contains(at)) {
            reached.insert(at);
        }
    }
    for (QWidget* c : controls) {
        EXPECT_TRUE(reached.contains(c)) << c->objectName().toStdString();
    }
}

// Alt and a letter reach one control each.
TEST_F(Controls, EachMnemonicLetterOnce)
{
    std::map<QChar, QString> letters;
    for (QWidget* c : open().findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(c)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(c)) {
            text = button->text();
        }
        const qsizetype at = text.indexOf(u'&');
        if (at >= 0 && at + 1 < text.size()) {
            const QChar letter = text[at + 1].toLower();
            EXPECT_FALSE(letters.contains(letter))
                << text.toStdString() << " and " << letters[letter].toStdString();
            letters[letter] = text;
        }
    }
    EXPECT_GE(letters.size(), 8u);
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool autoRepeat;
    int presses;
};

class EnterOnAButton : public WindowTest, public testing::WithParamInterface<KeyCase>
{
};

// Each push button of the window, pressed by the key while it has the focus.
TEST_P(EnterOnAButton, PressesItOnce)
{
    ReportWindow& w = open();
    w.show();
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        SCOPED_TRACE(b->objectName().toStdString());
        b->setEnabled(true);
        // Only the press is counted: its handler is not what is tested.
        b->disconnect(&w);
        QSignalSpy pressed(b, &QPushButton::clicked);
        b->setFocus();
        QKeyEvent press(QEvent::KeyPress, GetParam().key, GetParam().modifiers, QString(),
                        GetParam().autoRepeat);
        QApplication::sendEvent(b, &press);
        EXPECT_EQ(pressed.count(), GetParam().presses);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EnterOnAButton,
    testing::Values(KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, false, 1},
                    KeyCase{"EnterOfTheKeypad", Qt::Key_Enter, Qt::KeypadModifier, false, 1},
                    KeyCase{"HeldDownRepeats", Qt::Key_Return, Qt::NoModifier, true, 0},
                    KeyCase{"WithControl", Qt::Key_Return, Qt::ControlModifier, false, 0},
                    KeyCase{"AnotherKey", Qt::Key_A, Qt::NoModifier, false, 0}),
    [](const auto& param) { return std::string(param.param.name); });

class Options : public WindowTest
{
};

// Each option of the command line is offered, from its entry, or is one of
// the window's own fields: a new option cannot be left out unseen.
TEST_F(Options, EveryOptionOfTheCommandLineIsOfferedFromItsEntry)
{
    ReportWindow& w = open();
    const std::set<std::string_view> fields = {"--csv", "--html", "--xlsx", "--grades", "--roster"};
    for (const ReportOption& option : reportOptions()) {
        SCOPED_TRACE(std::string(option.name));
        const QString help = QString::fromUtf8(option.help.data(), option.help.size());
        auto* c = w.findChild<QWidget*>(
            QString::fromUtf8(option.name.substr(2).data(), option.name.size() - 2));
        if (fields.contains(option.name)) {
            EXPECT_EQ(c, nullptr);
            continue;
        }
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(c->toolTip().endsWith(help)) << c->toolTip().toStdString();
        EXPECT_EQ(c->accessibleDescription(), c->toolTip());
        if (auto* list = qobject_cast<QComboBox*>(c)) {
            QStringList values;
            for (int i = 1; i < list->count(); ++i) {
                values << list->itemText(i);
            }
            EXPECT_EQ(values.join(QStringLiteral(", ")).toStdString(), option.values);
        }
    }
    EXPECT_TRUE(control<QLineEdit>("classListPath")
                    ->toolTip()
                    .startsWith(QString::fromUtf8(reportOption("--roster")->help.data())));
}

// A site's grades format keys on the class list's identifiers, as the
// command line refuses it without one.
TEST_F(Options, AGradesFormatWaitsForAClassList)
{
    open();
    auto* format = control<QComboBox>("grades-format");
    auto* measure = control<QComboBox>("grade-by");
    EXPECT_FALSE(format->isEnabled());
    EXPECT_FALSE(measure->isEnabled());
    control<QLineEdit>("classListPath")->setText(path(QStringLiteral("export.csv")));
    EXPECT_TRUE(format->isEnabled());
    EXPECT_TRUE(measure->isEnabled());
}

struct DownloadCase {
    const char* name;
    std::function<QStringList(const WindowTest&)> paths; // made in the test's folder
    const char* how;                                     // "drop", "choose" or "argument"
    const char* refusal;                                 // the reason told; null when taken
};

class Taking : public WindowTest, public testing::WithParamInterface<DownloadCase>
{
protected:
    bool give(const QStringList& paths)
    {
        const std::string how = GetParam().how;
        if (how == "argument") {
            return window->takeDownload(paths);
        }
        if (how == "choose") {
            chosen = paths;
            control<QPushButton>(paths.size() == 1 && QFileInfo(paths[0]).isDir()
                                     ? "chooseDownloadFolder"
                                     : "chooseDownload")
                ->click();
            return control<QLineEdit>("downloadPath")->text() == downloadText(paths);
        }
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths) {
            urls << QUrl::fromLocalFile(p);
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        return control<QLineEdit>("downloadPath")->text() == downloadText(paths);
    }
};

TEST_P(Taking, ShowsTheDownloadReadyOrTellsWhyNot)
{
    open();
    const QStringList paths = GetParam().paths(*this);
    const bool taken = give(paths);
    const QString told = status();
    if (!GetParam().refusal) {
        EXPECT_TRUE(taken);
        EXPECT_TRUE(told.startsWith(QStringLiteral("Ready"))) << told.toStdString();
        EXPECT_EQ(window->focusWidget(), control<QPushButton>("makeReport"));
        return;
    }
    EXPECT_FALSE(taken);
    EXPECT_EQ(control<QLineEdit>("downloadPath")->text(), "");
    const QString named = QDir::toNativeSeparators(paths.value(0));
    EXPECT_TRUE(told.startsWith(named + QStringLiteral(": "))) << told.toStdString();
    EXPECT_TRUE(told.endsWith(QString::fromUtf8(GetParam().refusal))) << told.toStdString();
}

QStringList made(const WindowTest& t, const QString& name, const std::string& bytes)
{
    QDir().mkpath(QFileInfo(t.dir.filePath(name)).path());
    QFile f(t.dir.filePath(name));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    return {t.dir.filePath(name)};
}

const std::string kPdf = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
const char* const kNotADownload = "not a course site's download: expected a ZIP archive (.zip), "
                                  "a folder or send files (send_MMDDName.txt)";

INSTANTIATE_TEST_SUITE_P(
    Download, Taking,
    testing::Values(
        DownloadCase{
            "ZipDropped",
            [](const WindowTest& test) { return made(test, "submissions.zip", classZip()); },
            "drop", nullptr},
        DownloadCase{
            "ZipGivenAsArgument",
            [](const WindowTest& test) { return made(test, "Téléchargé.zip", classZip()); },
            "argument", nullptr},
        DownloadCase{"FolderChosen",
                     [](const WindowTest& test) {
                         made(test, "send-files/send_0416Ann_Lee.txt", sendFile("Ann Lee", 3));
                         return QStringList{test.dir.filePath("send-files")};
                     },
                     "choose", nullptr},
        DownloadCase{"SendFilesDropped",
                     [](const WindowTest& test) {
                         return made(test, "send_0416Ann_Lee.txt", sendFile("Ann Lee", 3)) +
                                made(test, "send_0416Bo_Chen (1).txt", sendFile("Bo Chen", 2));
                     },
                     "drop", nullptr},
        DownloadCase{"PdfDropped",
                     [](const WindowTest& test) { return made(test, "syllabus.pdf", kPdf); },
                     "drop", kNotADownload},
        DownloadCase{"ProgramGivenAsArgument",
                     [](const WindowTest& test) { return made(test, "setup.exe", "MZ\x90"); },
                     "argument", kNotADownload},
        DownloadCase{"TextThatIsNoSendFileChosen",
                     [](const WindowTest& test) { return made(test, "readme.txt", "Hello\r\n"); },
                     "choose",
                     "skipped: not a record file name (send_MMDDName.txt, masterFile_Name.txt "
                     "or notes_Name.txt)"},
        DownloadCase{"SendFileBesideAPdfDropped",
                     [](const WindowTest& test) {
                         return made(test, "slides.pdf", kPdf) +
                                made(test, "send_0416Ann_Lee.txt", sendFile("Ann Lee", 3));
                     },
                     "drop", kNotADownload},
        DownloadCase{"FolderGoneGivenAsArgument",
                     [](const WindowTest& test) { return QStringList{test.dir.filePath("gone")}; },
                     "argument", "No such file or directory"}),
    [](const auto& param) { return std::string(param.param.name); });

class Choosing : public WindowTest
{
};

// The class list and the results are looked for where the download is.
TEST_F(Choosing, StartsInTheDownloadsFolder)
{
    write(QStringLiteral("week 2/submissions.zip"), classZip());
    ReportWindow& w = open();
    ASSERT_TRUE(w.takeDownload({path(QStringLiteral("week 2/submissions.zip"))}));
    for (const char* button : {"chooseClassList", "chooseOutputFolder", "chooseDownload"}) {
        choosingFrom.clear();
        control<QPushButton>(button)->click();
        EXPECT_EQ(choosingFrom, QDir::toNativeSeparators(path(QStringLiteral("week 2")))) << button;
    }
    chosen = {path(QStringLiteral("week 2/export.csv"))};
    control<QPushButton>("chooseClassList")->click();
    EXPECT_EQ(control<QLineEdit>("classListPath")->text(), QDir::toNativeSeparators(chosen[0]));
}

class Locked : public WindowTest
{
};

// A folder this user cannot list is told when dropped, not found empty when
// made; root (and Windows, which has no such modes) lists every folder.
TEST_F(Locked, AFolderThatCannotBeReadIsTold)
{
    const QString locked = path(QStringLiteral("locked"));
    QDir().mkpath(locked + QStringLiteral("/inner"));
    QFile::setPermissions(locked, QFileDevice::Permissions());
    if (!QDir(locked).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty()) {
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        GTEST_SKIP() << "this user reads every folder";
    }
    EXPECT_FALSE(open().takeDownload({locked}));
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(status(), QDir::toNativeSeparators(locked) + QStringLiteral(": ") +
                            QString::fromStdString(std::generic_category().message(EACCES)));
}

struct TextCase {
    const char* name;
    QStringList paths;
    QString text;
};

class DownloadLine : public testing::TestWithParam<TextCase>
{
};

// The field shows several files as a file dialog does, and reads them back.
TEST_P(DownloadLine, ReadsBackThePathsItShows)
{
    EXPECT_EQ(downloadText(GetParam().paths), GetParam().text);
    EXPECT_EQ(downloadPaths(GetParam().text), GetParam().paths);
}

INSTANTIATE_TEST_SUITE_P(
    Download, DownloadLine,
    testing::Values(TextCase{"None", {}, ""},
                    TextCase{"OneWithBlanks",
                             {QDir::toNativeSeparators("/home/ann/Course site (2).zip")},
                             QDir::toNativeSeparators("/home/ann/Course site (2).zip")},
                    TextCase{"Two",
                             {QDir::toNativeSeparators("/d/send_0416Ann_Lee.txt"),
                              QDir::toNativeSeparators("/d/send_0416Bo Chen.txt")},
                             QDir::toNativeSeparators(
                                 "\"/d/send_0416Ann_Lee.txt\" \"/d/send_0416Bo Chen.txt\"")}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
