#pragma once

#include "record/records.h"
#include "report/ordered_output.h"
#include "report/report.h"
#include "report/zip_input.h"

#include <atomic>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A file to read, with the student it is of (from its name) and its role
// when its name is a record file's; a member of an archive is told as
// "archive.zip:folder/member.txt".
struct InputFile {
    std::string path;
    std::string student;
    std::optional<FileRole> role;
    std::string day; // a send file's MMDD: two of one student's files alike are copies
    std::optional<ArchiveMember> member;
};

struct ClassReading {
    bool complete = true; // every file was read whole
    bool stopped = false; // asked to stop before the last file
};

// What a window shows of a reading as it goes, and how it stops one.
struct ReadingProgress {
    // The files read so far, of all: called on the reading threads.
    std::function<void(std::size_t done, std::size_t files)> read;
    // Set on another thread to stop: the files not begun are not read.
    const std::atomic<bool>* stop = nullptr;
};

// Reads the files into `report` on `threads` threads (0: one per core), each
// student's files on one thread, in order, so that the latest texts and the
// copies found twice are those of a reading by one. The rows go to `csv`
// when it is given and each problem to `err`, both in the files' order.
ClassReading readClass(const std::vector<InputFile>& inputs, unsigned threads, CsvSink* csv,
                       Report& report, std::ostream& err, const ReadingProgress& progress = {});
