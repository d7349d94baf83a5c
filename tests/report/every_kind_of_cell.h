#pragma once

#include "sample_class.h"

// The send files of a class whose page has every kind of cell and text the
// page shows: ratings invalid, left empty and not yet given, empty and
// cut-short texts (a response longer than a workbook's cell, a cell answered
// a dozen times, more notes than the page lists), markup in a name and a
// response, a question the course does not have.
inline std::vector<SampleFile> everyKindOfCell(const ClassWriter& w)
{
    using Rating = ResponseTail::Rating;
    const QDate day(2026, 12, 9);
    const auto& qs = w.questions("001");
    const auto response = [](int minute, const QString& assignment, int number,
                             const QString& entry, const QString& text, const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(10, minute), assignment, number, entry,
                                 text) +
               ClassWriter::tail(Rating::confidence, rating);
    };
    const auto critique = [&](int minute, int i, const QString& text, const QString& rating) {
        const auto& q = qs[static_cast<std::size_t>(i)];
        return ClassWriter::head(FileRole::send, QTime(10, minute), "001", q.number, q.answer,
                                 text) +
               ClassWriter::tail(Rating::selfCritique, rating);
    };
    const auto answer = [&](int minute, int i, const QString& text, const QString& rating) {
        const auto& q = qs[static_cast<std::size_t>(i)];
        return response(minute, "001", q.number, q.entry, text, rating);
    };

    std::string ann = w.opening("001", day, "ANN") + answer(1, 0, "x = 5", "5") +
                      critique(2, 0, "I mixed up the signs.", "x ") + answer(3, 1, "a = 2", "") +
                      answer(4, 2, "b = 1", "2") + critique(5, 2, "", "") +
                      answer(6, 3, QString(40'000, u'7') + "\r\n" + QString(200, u'8'), "0") +
                      critique(7, 3, "Too long.", "3") +
                      answer(8, 5, "<b>bold</b> & 'quoted' \"text\"", "1") +
                      critique(9, 5, "<script>alert(1)</script>", "0") +
                      response(10, "001", 99, "`q099. Not a question of the course.", "y = 3", "3");
    for (int i = 1; i <= 12; ++i) {
        ann += answer(10 + i, 4, QStringLiteral("try %1").arg(i), QString::number(i % 4));
    }

    std::string bo = w.opening("001", day, "BO");
    for (int i = 0; i < 102; ++i) {
        bo += ClassWriter::note(FileRole::send, day, QTime(11, i / 60, i % 60), qs[0].entry,
                                QStringLiteral("note %1").arg(i));
    }
    bo += answer(1, 0, "a = 2, b = 1", "3") + critique(2, 0, "Right.", "3");

    const std::string eve = w.opening("001", day, "EVE") + answer(1, 1, "no idea", "0") +
                            critique(2, 1, "I need help.", "1");

    return {
        {"send_1209Ann_Lee.txt", ann},
        {"send_1209Bo_Chen.txt", bo},
        {"send_1209Eve_<img src=x onerror=alert(1)>.txt", eve},
    };
}
