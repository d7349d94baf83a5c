#pragma once

#include "test_bank.h"

#include <QPlainTextEdit>

// The rule that opens each part of a record, as the files hold it.
inline const QByteArray kStart = "......!!!!!!!!...................................\r\n";

// A run on a small bank of assignment 003 whose question is number 4, with
// what each record file held right after the opening, so that tests compare
// exactly what a click appended.
struct RecordRun {
    explicit RecordRun(QStringList ratings = {})
    {
        WindowOptions options;
        options.bankEntries = std::vector<std::string>{
            "003.",        "",    "`q004.  What is 2+2?", "", "`aIt is 4.", "", "plain entry",
            "end program", "004."};
        run =
            std::make_unique<WindowRun>(QStringList{"Ann", "", "3"} + ratings, std::move(options));
        w().Form_Load();
        openedMaster = TestFolder::read(w().masterFilePath());
        openedSend = TestFolder::read(w().sendFilePath());
    }

    q_a_template_& w() { return *run->window; }
    void press(int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            w().cmdNextQuestion_Click();
        }
    }
    void type(const QString& text) { w().txt_answer->setPlainText(text); }
    QByteArray masterAdded() const
    {
        return TestFolder::read(run->window->masterFilePath()).mid(openedMaster.size());
    }
    QByteArray sendAdded() const
    {
        return TestFolder::read(run->window->sendFilePath()).mid(openedSend.size());
    }
    QByteArray notes() const { return TestFolder::read(run->window->notesFilePath()); }

    std::unique_ptr<WindowRun> run;
    QByteArray openedMaster;
    QByteArray openedSend;
};
