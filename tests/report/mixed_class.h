#pragma once

#include "report_fixture.h"
#include "workbook_reading.h"

#include <QDir>
#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{

// A class whose students' files interleave by name, with copies in master
// files, notes, a torn record, a file that is not a record file and two
// long files next to each other, read at the same time on two threads.
inline void writeMixedClass(const Folder& folder)
{
    const auto& w = writer();
    for (int s = 0; s < 7; ++s) {
        const QString name = QStringLiteral("Student %1").arg(s);
        const QString file = QString(name).replace(u' ', u'_');
        std::string master;
        for (int day = 0; day < 3; ++day) {
            QTime clock(9 + s, 0);
            const QDate date = kDay.addDays(day);
            const QString assignment = QStringLiteral("%1").arg(day + 1, 3, 10, QLatin1Char('0'));
            const std::string code = "RUN" + std::to_string(s * 10 + day);
            std::string send = w.run(FileRole::send, assignment, date, clock, code, 2 + s, name);
            if (s == 3 && day == 1) {
                send += ClassWriter::head(FileRole::send, clock.addSecs(60), assignment, 3,
                                          w.questions(assignment)[2].entry, "torn");
            }
            if ((s == 4 || s == 5) && day == 0) {
                for (int i = 0; i < 1500; ++i) {
                    clock = clock.addSecs(1);
                    send += w.run(FileRole::send, assignment, date, clock, code, 1, name);
                }
            }
            clock = QTime(9 + s, 0);
            master += w.run(FileRole::master, assignment, date, clock, code, 2 + s, name);
            const QString sendName =
                QStringLiteral("send_%1%2.txt").arg(date.toString(QStringLiteral("MMdd")), file);
            folder.write(sendName, send);
        }
        if (s % 2 == 0) {
            folder.write(QStringLiteral("masterFile_%1.txt").arg(file), master);
            folder.write(QStringLiteral("notes_%1.txt").arg(file),
                         ClassWriter::note(FileRole::notes, kDay, QTime(9 + s, 5),
                                           q("001", 1).answer, QStringLiteral("ask %1").arg(s)));
        }
    }
    folder.write("send_0417Zed.txt", "Hello! Here is my homework.\r\nx = 2\r\n");
}

// What a report on the mixed class gives.
struct MixedOutput {
    Outcome outcome;
    std::string csv;
    QByteArray page;
    ReadBook book;
};

// The mixed class, in a folder and in one archive of its files, and what one
// thread makes of each: each made once, when first asked for, for every
// number of threads tried.
class MixedClass
{
public:
    MixedClass()
    {
        writeMixedClass(folder_);
        named_ = {top()};
        for (const QString& name :
             QDir(folder_.dir.path()).entryList({"masterFile_*", "notes_*"})) {
            named_.push_back(folder_.path(name));
        }
    }
    std::string top() const { return folder_.dir.path().toStdString(); }
    std::string archive()
    {
        if (!zipped_) {
            std::vector<std::pair<std::string, std::string>> members;
            for (const QString& name : QDir(folder_.dir.path()).entryList(QDir::Files)) {
                members.emplace_back(name.toStdString(), folder_.read(name).toStdString());
            }
            folder_.write("class.zip", zipBytes(members));
            zipped_ = true;
        }
        return folder_.path("class.zip");
    }
    // The folder with its master and notes files named as well.
    const std::vector<std::string>& named() const { return named_; }
    // On one thread: the named files, with the workbook; the folder; the archive.
    const MixedOutput& withCopies() { return once(withCopies_, named_, "one", true); }
    const MixedOutput& inFolder() { return once(inFolder_, {top()}, "folder", false); }
    const MixedOutput& inArchive() { return once(inArchive_, {archive()}, "archive", false); }

    MixedOutput run(const std::vector<std::string>& paths, unsigned threads, const QString& out,
                    bool workbook) const
    {
        ReportOptions options{paths, false, folder_.path(out + ".csv"),
                              folder_.path(out + ".html")};
        options.threads = threads;
        if (workbook) {
            options.xlsx = folder_.path(out + ".xlsx");
        }
        MixedOutput o{report(options),
                      folder_.read(out + ".csv").toStdString(),
                      folder_.read(out + ".html"),
                      {}};
        if (workbook) {
            o.book = readWorkbook(options.xlsx);
        }
        return o;
    }
    // The texts of the folder's run as the archive's run names its files.
    std::string asMembers(std::string text) const
    {
        const std::string from = top() + '/';
        const std::string to = from + "class.zip:";
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
            text.replace(at, from.size(), to);
        }
        return text;
    }

private:
    const MixedOutput& once(std::optional<MixedOutput>& output,
                            const std::vector<std::string>& paths, const QString& out,
                            bool workbook)
    {
        if (!output) {
            output = run(paths, 1, out, workbook);
        }
        return *output;
    }

    Folder folder_;
    std::vector<std::string> named_;
    bool zipped_ = false;
    std::optional<MixedOutput> withCopies_;
    std::optional<MixedOutput> inFolder_;
    std::optional<MixedOutput> inArchive_;
};

inline MixedClass& mixedClass()
{
    static MixedClass c;
    return c;
}

} // namespace
