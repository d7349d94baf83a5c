#pragma once

#include "bank/course.h"
#include "bank/question_bank.h"
#include "record/record_text.h"
#include "record/records.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <zip.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The rows of an RFC 4180 text: quoted fields may hold commas, quotes and
// line breaks.
inline std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            field += c;
        }
    }
    if (rows.back() == std::vector<std::string>(1)) {
        rows.pop_back();
    }
    return rows;
}

// Record files of a class, made with qa-tutor's own record writer from the
// compiled-in course.
class ClassWriter
{
public:
    struct Question {
        int number = 0;
        QString entry;  // as the window shows it
        QString answer; // the worked answer without its marker
    };

    ClassWriter()
    {
        const std::vector<std::string> entries = courseEntries();
        QString assignment;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QString entry = QString::fromLatin1(entries[i]);
            if (isAssignmentHeader(entries[i])) {
                assignment = entry.left(3);
                headers_[assignment] = entry;
            } else if (const auto number = questionEntryNumber(entries[i]);
                       number && i + 2 < entries.size()) {
                const QString answer = QString::fromLatin1(entries[i + 2]);
                questions_[assignment].push_back(
                    {*number, entry, answer.mid(recordText::answerMarker.size())});
            }
        }
    }

    const std::vector<Question>& questions(const QString& assignment) const
    {
        return questions_.at(assignment);
    }
    QStringList assignments() const { return headers_.keys(); }

    std::string opening(const QString& assignment, QDate date, const std::string& codeLine) const
    {
        return recordBytes(OpeningRecord{codeLine, recordText::assignmentPrefix + assignment,
                                         headers_.value(assignment),
                                         QString::fromUtf8(kCourseTitle), date});
    }

    static std::string head(FileRole role, QTime time, const QString& assignment, int question,
                            const QString& entry, const QString& response)
    {
        return recordBytes(recordLines(
            ResponseHead{time, assignment, QString::number(question), entry, response}, role));
    }

    static std::string tail(ResponseTail::Rating rating, const QString& reply)
    {
        return recordBytes(recordLines(ResponseTail{rating, reply}));
    }

    static std::string note(FileRole role, QDate date, QTime time, const QString& entry,
                            const QString& text)
    {
        return recordBytes(recordLines(NoteRecord{time, QDateTime(date, time), entry, text}, role));
    }

    // A run through the first `count` questions of an assignment: each
    // response rated for confidence, each worked answer critiqued and rated.
    // The clock moves on a minute a record.
    std::string run(FileRole role, const QString& assignment, QDate date, QTime& clock,
                    const std::string& codeLine, int count, const QString& student) const
    {
        std::string bytes = opening(assignment, date, codeLine);
        const auto& qs = questions(assignment);
        for (int i = 0; i < count && i < static_cast<int>(qs.size()); ++i) {
            const Question& q = qs[static_cast<std::size_t>(i)];
            clock = clock.addSecs(60);
            bytes += head(role, clock, assignment, q.number, q.entry,
                          QStringLiteral("%1 on q%2:\r\nI wrote down what is given and what is "
                                         "asked, then worked it step by step:\r\n3a + 3b = 9 "
                                         "and 4a - 5b = 3, so 27b = 27, b = 1 and a = 2.\r\n"
                                         "Checked in both equations: x = %3.")
                              .arg(student)
                              .arg(q.number)
                              .arg(i * 7 % 5));
            bytes += tail(ResponseTail::Rating::confidence, QString::number((i + count) % 4));
            clock = clock.addSecs(60);
            bytes += head(role, clock, assignment, q.number, q.answer,
                          QStringLiteral("I see where I went wrong on q%1.").arg(q.number));
            bytes += tail(ResponseTail::Rating::selfCritique, QString::number((i + 1) % 4));
        }
        return bytes;
    }

private:
    QMap<QString, QString> headers_;
    std::map<QString, std::vector<Question>> questions_;
};

// A ZIP archive of the files as libzip writes it: deflated, as a course site
// stores them, or stored as they are. The names are written as given, bytes
// and all, folders and all.
inline std::string zipBytes(const std::vector<std::pair<std::string, std::string>>& files,
                            bool deflate = true)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(buffer);
        return {};
    }
    zip_source_keep(buffer);
    for (const auto& [name, bytes] : files) {
        zip_source_t* file = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t i = zip_file_add(archive, name.c_str(), file, ZIP_FL_ENC_GUESS);
        if (i < 0) {
            zip_source_free(file);
        } else {
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(i),
                                     deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        }
    }
    std::string zip;
    zip_stat_t stat;
    const bool closed = zip_close(archive) == 0;
    if (!closed) {
        zip_discard(archive);
    }
    if (closed && zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        zip.resize(stat.size);
        zip.resize(static_cast<std::size_t>(
            std::max<zip_int64_t>(zip_source_read(buffer, zip.data(), zip.size()), 0)));
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return zip;
}

// Where a member's headers and data are in a ZIP's bytes, found by its name
// in the list at the archive's end: to forge a damaged or hostile archive.
struct ZipMemberAt {
    std::size_t central = 0; // its entry in the list
    std::size_t local = 0;   // the header before its data
    std::size_t data = 0;
};

inline std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    }
    return value;
}

inline void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i, value >>= 8) {
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<char>(value & 0xff);
    }
}

inline ZipMemberAt zipMemberAt(const std::string& zip, const std::string& name)
{
    const std::size_t end = zip.rfind("PK\5\6");
    std::size_t at = littleEndian(zip, end + 16, 4);
    for (std::uint32_t n = littleEndian(zip, end + 10, 2); n > 0; --n) {
        const std::size_t nameSize = littleEndian(zip, at + 28, 2);
        if (zip.compare(at + 46, nameSize, name) == 0) {
            const std::size_t local = littleEndian(zip, at + 42, 4);
            return {at, local,
                    local + 30 + littleEndian(zip, local + 26, 2) +
                        littleEndian(zip, local + 28, 2)};
        }
        at += 46 + nameSize + littleEndian(zip, at + 30, 2) + littleEndian(zip, at + 32, 2);
    }
    return {};
}

// The member's uncompressed size as both its headers declare it.
inline void declareZipSize(std::string& zip, const std::string& name, std::uint32_t size)
{
    const ZipMemberAt at = zipMemberAt(zip, name);
    putLittleEndian(zip, at.central + 24, size, 4);
    putLittleEndian(zip, at.local + 22, size, 4);
}
