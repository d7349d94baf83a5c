// A student session of the real window, scripted from a seed, that runs until
// crash_test.py kills it. Its stdout tells the driver what each record should
// hold before the click and that it was recorded after, so the driver can
// check the record files against it.
//
// Usage: crash_session FOLDER SEED NAME

#include "app/platform.h"
#include "app/q_a_template_.h"
#include "record/record_text.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QPlainTextEdit>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Far more than a kill at 1.5 s ever lets happen; a session that reaches it
// says so and the driver counts the run as failed.
constexpr int kRecordCap = 20000;
const QDate kToday(2026, 4, 16);

// One write per line, each far below PIPE_BUF, so a kill never leaves half a
// line for the driver.
void say(const std::string& line)
{
    const std::string out = line + '\n';
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::_Exit(4);
        }
        done += static_cast<std::size_t>(n);
    }
}

[[noreturn]] void fail(const std::string& why)
{
    say("HARNESS FAILURE " + why);
    std::_Exit(3);
}

std::string hex(const QString& text)
{
    return text.toUtf8().toHex().toStdString();
}

QString withLf(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// What the driver needs to recognise a text in a record without the text
// itself: its line count, UTF-8 length and hash, line ends as LF.
std::string describe(const QString& prefix, const QString& text)
{
    const QByteArray utf8 = withLf(text).toUtf8();
    const auto sha = QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex();
    return QStringLiteral(" %1lines=%2 %1bytes=%3 %1sha=%4")
        .arg(prefix)
        .arg(utf8.count('\n') + 1)
        .arg(utf8.size())
        .arg(QString::fromLatin1(sha))
        .toStdString();
}

std::string stamp(const QDateTime& clock)
{
    return clock.time().toString(QStringLiteral("HH:mm:ss")).toStdString();
}

// The texts a student types. Every character is in Windows-1252 (and none is
// one a text box changes, such as a no-break space), so the record holds
// exactly what was typed.
class Typist
{
public:
    explicit Typist(std::mt19937& rng) : rng_(rng) {}

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    QString text()
    {
        const int shape = between(0, 99);
        if (shape < 5) {
            return QString();
        }
        if (shape < 30) {
            return line(1, 6);
        }
        if (shape < 55) {
            return lines(between(2, 9), false);
        }
        if (shape < 70) {
            return lines(between(3, 12), true);
        }
        if (shape < 80) {
            return longLine();
        }
        return several(between(2000, 8000));
    }

    QString rating()
    {
        static const QStringList replies = {"0", "1", "2", "3", "3", "2", "", " 2 ", "three"};
        return replies[between(0, static_cast<int>(replies.size()) - 1)];
    }

private:
    QString word()
    {
        static const QStringList words = {
            "the",   "slope",   "is",      "x",  "=",   "21/23", "because", "I",        "added",
            "wrong", "y",       "(1,",     "3)", "m",   "b",     "so",      "café",     "naïve",
            "über",  "45°",     "±2",      "x²", "½",   "€5",    "“ok”",    "a—b",      "it's",
            "\t",    "tab\tin", "3a + 3b", "-5", "1e3", "check", "again.",  "(12a+12b)"};
        return words[between(0, static_cast<int>(words.size()) - 1)];
    }

    QString line(int minWords, int maxWords)
    {
        QStringList words;
        for (int i = between(minWords, maxWords); i > 0; --i) {
            words << word();
        }
        QString text = words.join(u' ');
        if (chance(0.1)) {
            text += QStringLiteral("   ");
        }
        return text;
    }

    // Lines that look like the files' own rules and labels, so the driver
    // must go by the line counts it is given, not by what lines look like.
    QString impostor()
    {
        static const QStringList lines = {recordText::recordStartRule,
                                          recordText::recordEndRule,
                                          recordText::recordEndRule + recordText::zoneSpaces,
                                          recordText::responseLabel,
                                          recordText::confidenceLabel + "2",
                                          recordText::selfCritiqueLabel + "3",
                                          recordText::notesLabel + "x",
                                          recordText::stampIndent + "12:00:00",
                                          "`questionNumber 30004 ",
                                          "assignment #003",
                                          "Precalculus I",
                                          "04-16-2026",
                                          ""};
        return lines[between(0, static_cast<int>(lines.size()) - 1)];
    }

    QString lines(int count, bool impostors)
    {
        QStringList out;
        for (int i = 0; i < count; ++i) {
            if (impostors && chance(0.4)) {
                out << impostor();
            } else if (chance(0.15)) {
                out << QString();
            } else {
                out << line(1, 12);
            }
        }
        return out.join(u'\n');
    }

    QString longLine()
    {
        QString text;
        const int length = between(1000, 3000);
        while (text.size() < length) {
            text += word() + u' ';
        }
        return text;
    }

    QString several(int length)
    {
        QString text;
        while (text.size() < length) {
            text += line(5, 40) + (chance(0.2) ? QStringLiteral("\n\n") : QStringLiteral("\n"));
        }
        return text;
    }

    std::mt19937& rng_;
};

class SessionPlatform : public Platform
{
public:
    explicit SessionPlatform(std::mt19937& rng) : rng_(rng) {}

    QString prompt(QWidget*, const QString& message) override
    {
        if (record_ < 0) {
            if (startupReplies.isEmpty()) {
                fail("unexpected prompt: " + hex(message));
            }
            return startupReplies.takeFirst();
        }
        if (!expectedPrompt || message != *expectedPrompt) {
            fail("unexpected prompt in record " + std::to_string(record_) + ": " + hex(message));
        }
        const std::string n = std::to_string(record_);
        say("PROMPT OPEN " + n);
        // The student reads and types: the widest window for a kill.
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(1, 30)(rng_)));
        say("PROMPT CLOSED " + n);
        expectedPrompt.reset();
        return rating_;
    }

    void message(QWidget*, const QString& text) override { say("MESSAGE " + hex(text)); }
    QDateTime now() override { return clock; }
    void endProgram() override {}
    void beep() override {}

    void startRecord(int n, std::optional<QString> prompt, QString rating)
    {
        record_ = n;
        expectedPrompt = std::move(prompt);
        rating_ = std::move(rating);
        clock = QDateTime(kToday, QTime(8, 0).addSecs(n * 7));
    }
    void endRecord()
    {
        if (expectedPrompt) {
            fail("the rating prompt of record " + std::to_string(record_) + " never came");
        }
        record_ = -1;
    }

    QStringList startupReplies;
    QDateTime clock{kToday, QTime(8, 0)};

private:
    std::mt19937& rng_;
    int record_ = -1;
    std::optional<QString> expectedPrompt;
    QString rating_;
};

std::optional<QString> ratingPrompt(q_a_template_::BlockKind blockKind)
{
    if (blockKind == q_a_template_::BlockKind::question) {
        return recordText::confidencePrompt();
    }
    if (blockKind == q_a_template_::BlockKind::answer) {
        return recordText::selfCritiquePrompt();
    }
    return std::nullopt;
}

class Session
{
public:
    Session(std::mt19937& rng, SessionPlatform& platform, int& n)
        : rng_(rng), typist_(rng), platform_(platform), n_(n)
    {
    }

    // One assignment, from start-up to the press after its end.
    void run(const QString& folder, const QString& name)
    {
        const QString assignment = QString::number(typist_.between(1, 15)).rightJustified(3, u'0');
        platform_.startupReplies = {name, QString(), assignment};
        const int n = ++n_;
        platform_.clock = QDateTime(kToday, QTime(8, 0).addSecs(n * 7));
        q_a_template_ w(platform_, WindowOptions{.bankEntries = std::nullopt,
                                                 .fixedSeed = static_cast<std::uint32_t>(rng_()),
                                                 .defaultFolder = folder});
        say("BEGIN opening " + std::to_string(n) + " assignment=" + assignment.toStdString() +
            " date=" + kToday.toString(QStringLiteral("MM-dd-yyyy")).toStdString());
        w.Form_Load();
        if (w.ended() || !platform_.startupReplies.isEmpty()) {
            fail("start-up did not open assignment " + assignment.toStdString());
        }
        const QString header = QString::fromLatin1((*w.bankLines)[w.bankCursor]);
        say("RECORD DONE opening " + std::to_string(n) + " code=" + std::to_string(w.codeNumber) +
            " header=" + hex(header));
        w.show();

        while (!w.ended() && n_ < kRecordCap) {
            w.cmdNextQuestion_Click();
            QApplication::processEvents();
            if (w.ended()) {
                break;
            }
            const int clicks = typist_.chance(0.15) ? 0 : typist_.chance(0.75) ? 1 : 2;
            for (int i = 0; i < clicks; ++i) {
                if (typist_.chance(0.8)) {
                    respond(w);
                } else {
                    note(w);
                }
                QApplication::processEvents();
            }
        }
    }

private:
    std::string common(const q_a_template_& w, const QString& text) const
    {
        return " time=" + stamp(platform_.clock) + describe(QString(), text) +
               describe(QStringLiteral("entry"), w.currentLine);
    }

    void respond(q_a_template_& w)
    {
        const QString text = typist_.text();
        const QString rating = typist_.rating();
        const int n = ++n_;
        const auto prompt = ratingPrompt(w.blockKind);
        platform_.startRecord(n, prompt, rating);
        q_a_template_::setBoxText(w.txt_answer, text);
        say("BEGIN response " + std::to_string(n) + common(w, text) +
            " assignment=" + w.assignmentNumber.toStdString() +
            " question=" + w.questionNumber.toStdString() + " kind=" +
            (!prompt                                             ? std::string("none")
             : w.blockKind == q_a_template_::BlockKind::question ? std::string("question")
                                                                 : std::string("answer")) +
            " rating=" + hex(rating));
        w.cmd_enter_response_Click();
        platform_.endRecord();
        say("RECORD DONE response " + std::to_string(n));
    }

    void note(q_a_template_& w)
    {
        const QString text = typist_.text();
        const int n = ++n_;
        platform_.startRecord(n, std::nullopt, QString());
        q_a_template_::setBoxText(w.txt_answer, text);
        say("BEGIN note " + std::to_string(n) + common(w, text) +
            " date=" + kToday.toString(QStringLiteral("MM-dd-yyyy")).toStdString());
        w.cmd_save_as_notes_Click();
        platform_.endRecord();
        say("RECORD DONE note " + std::to_string(n));
    }

    std::mt19937& rng_;
    Typist typist_;
    SessionPlatform& platform_;
    int& n_;
};

} // namespace

// Linked with --wrap=write, so the program's writes come here first. A short
// wait before each write to a file plays a slow disk: a kill then often lands
// between two writes, where a record written in pieces would be torn.
extern "C" ssize_t __real_write(int fd, const void* data, std::size_t size);
extern "C" ssize_t __wrap_write(int fd, const void* data, std::size_t size)
{
    static std::minstd_rand slowness(std::random_device{}());
    struct stat info {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 4000)(slowness)));
    }
    return __real_write(fd, data, size);
}

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::cerr << "usage: crash_session FOLDER SEED NAME\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::mt19937 rng(static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    const QString name = QString::fromLocal8Bit(argv[3]);

    SessionPlatform platform(rng);
    int n = 0;
    while (n < kRecordCap) {
        Session(rng, platform, n).run(folder, name);
        say("SESSION END");
    }
    say("CAP REACHED");
    return 0;
}
