#pragma once

#include "class_files.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <string>
#include <vector>

// The send files of a small class as a course site's "download all
// submissions" gives them: one folder per student, a prefix of the site's own
// before some names, a file downloaded twice, and a copy saved with LF line
// ends. Ann Lee did the whole assignment; José Núñez needs help on two questions; Carla
// Diaz typed "x" for a rating; Bo Chen entered a critique twice, the second
// time empty; Dee Park's response looks like a spreadsheet formula.
struct SampleFile {
    QString path; // within the download
    std::string bytes;
};

inline std::string withLfLineEnds(std::string bytes)
{
    for (std::size_t at; (at = bytes.find("\r\n")) != std::string::npos;) {
        bytes.erase(at, 1);
    }
    return bytes;
}

inline std::vector<SampleFile> courseSiteDownload(const ClassWriter& w)
{
    using Rating = ResponseTail::Rating;
    const QDate day(2026, 12, 9);
    const auto& qs = w.questions("001");
    const auto answer = [&](int minute, int i, const QString& text, const QString& confidence,
                            const QString& critique, const QString& rating) {
        const auto& q = qs[static_cast<std::size_t>(i)];
        return ClassWriter::head(FileRole::send, QTime(10, minute), "001", q.number, q.entry,
                                 text) +
               ClassWriter::tail(Rating::confidence, confidence) +
               ClassWriter::head(FileRole::send, QTime(10, minute + 1), "001", q.number, q.answer,
                                 critique) +
               ClassWriter::tail(Rating::selfCritique, rating);
    };
    const auto folder = [](const QString& student, int id) {
        return student + QStringLiteral("_%1_assignsubmission_file_/").arg(id);
    };

    QTime clock(9, 0);
    const std::string ann =
        w.run(FileRole::send, "001", day, clock, "ANN", 10, QStringLiteral("Ann Lee"));

    const std::string jose =
        w.opening("001", day, "JOSE") +
        answer(1, 0, QStringLiteral("a = 2, b = 1"), "3", QStringLiteral("Right, and checked."),
               "3") +
        answer(3, 1, QStringLiteral("x = ½ ± ¾?"), "1", QStringLiteral("I did not eliminate x."),
               "0") +
        answer(5, 2, QStringLiteral("I am not sure how to start."), "0",
               QStringLiteral("I see the first step now."), "1") +
        ClassWriter::note(FileRole::send, day, QTime(10, 7), qs[2].entry,
                          QStringLiteral("Ask in class: why multiply both equations?"));

    const std::string carla = w.opening("001", day, "CARLA") +
                              answer(1, 0, QStringLiteral("a = 2, b = 1"), "x",
                                     QStringLiteral("Same as the answer."), "3") +
                              answer(3, 1, QStringLiteral("x = 1.5, y = 0.2"), " 2",
                                     QStringLiteral("Mostly right, one slip."), "2 ");

    const std::string bo =
        w.opening("001", day, "BO") +
        answer(1, 0, QStringLiteral("a = 2, b = 1"), "2",
               QStringLiteral("I forgot to check the second equation."), "2") +
        ClassWriter::head(FileRole::send, QTime(10, 3), "001", qs[0].number, qs[0].answer, "") +
        ClassWriter::tail(Rating::selfCritique, "");

    const std::string dee =
        w.opening("001", day, "DEE") + answer(1, 0, QStringLiteral("=SUM(a, b) with a = 2, b = 1"),
                                              "3", QStringLiteral("@me: fine"), "3");

    return {
        {folder("Ann Lee", 11001) + "send_1209Ann_Lee.txt", ann},
        {folder("Ann Lee", 11001) + "send_1209Ann_Lee (1).txt", ann},
        {folder("José Núñez", 11002) + "send_1209José_Núñez.txt", jose},
        {folder("Carla Diaz", 11003) + "diazcarla_11003_56789_send_1209Carla_Diaz.txt", carla},
        {folder("Bo Chen", 11004) + "send_1209Bo_Chen.txt", withLfLineEnds(bo)},
        {folder("Dee Park", 11005) + "send_1209Dee_Park-1.txt", dee},
    };
}
