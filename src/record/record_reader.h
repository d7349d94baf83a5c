#pragma once

#include "record/records.h"

#include <QDate>
#include <QTime>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Reading record files back, record by record, as records.h writes them to
// any of the three files. Texts come out as UTF-8 with LF line breaks; the
// file is read as Windows-1252 unless it begins with a UTF-8 byte order mark.

struct ReadOpening {
    std::size_t line = 0;
    std::string codeLine;   // the run code's bytes
    std::string assignment; // what follows the assignment prefix: "005"
    std::string header;
    std::string courseTitle;
    QDate date;
};

// A response or a note.
struct ReadEntry {
    enum class Kind { response, note };
    Kind kind = Kind::response;
    std::size_t line = 0;
    QTime time;
    QDate date; // a note's own date; responses take theirs from the run
    std::optional<long long> questionNumber; // the master file's line: 30004
    std::string entryFirstLine;
    std::uint64_t entryHash = 0; // of all the entry's lines: see entryHash()
    std::string text;            // the response or the note
    ResponseTail::Rating rating = ResponseTail::Rating::none;
    std::string reply;
};

// What was skipped: "expected ...; the record is skipped".
struct ReadProblem {
    std::size_t line = 0;
    std::string message;
};

class RecordSink
{
public:
    virtual ~RecordSink() = default;
    virtual void opening(const ReadOpening& record) = 0;
    virtual void entry(const ReadEntry& record) = 0;
    virtual void problem(const ReadProblem& problem) = 0;
};

// Fills the buffer with up to `size` bytes; 0 at the end, -1 with errno set
// on a failure.
using ByteSource = std::function<std::ptrdiff_t(char* buffer, std::size_t size)>;

// Reads the whole source. Nothing is held beyond the record being read and a
// few lines after it. Returns the errno of a failed read, 0 otherwise.
int readRecords(const ByteSource& source, RecordSink& sink);
void readRecords(std::string_view bytes, RecordSink& sink);

// A longer line is reported and skipped without being held.
inline constexpr std::size_t kLongestLine = std::size_t{4} << 20;

// The hash readRecords gives an entry whose text, as the writer received it,
// is `entry`.
std::uint64_t entryHash(const QString& entry);
