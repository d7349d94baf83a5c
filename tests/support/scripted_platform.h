#pragma once

#include "app/platform.h"
#include "fixed_clock.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

// Answers prompts from a script, records what the window asked and said, and
// keeps a clock that stands still unless told to move on at every reading. A
// prompt past the end of the script is cancelled.
class ScriptedPlatform : public Platform
{
public:
    explicit ScriptedPlatform(QStringList script = {})
        : replies(std::move(script)), clock(kDate, kTime)
    {
    }

    QString prompt(QWidget*, const QString& message) override
    {
        prompts << message;
        if (onPrompt) {
            onPrompt();
        }
        return replies.isEmpty() ? QString() : replies.takeFirst();
    }
    void message(QWidget*, const QString& text) override { messages << text; }
    QDateTime now() override
    {
        const QDateTime reading = clock;
        clock = clock.addSecs(secondsPerReading);
        return reading;
    }
    void endProgram() override { ++endRequests; }
    void beep() override { ++beeps; }

    QStringList replies;
    QStringList prompts;
    QStringList messages;
    QDateTime clock;
    int secondsPerReading = 0;
    int endRequests = 0;
    int beeps = 0;
    // Runs while a prompt is open, as a student or the system might act then.
    std::function<void()> onPrompt;
};
