#pragma once

#include "app/platform.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// The prompt dialog: QInputDialog does not wrap long messages.
class PromptDialog : public QDialog
{
    Q_OBJECT
public:
    PromptDialog(QWidget* parent, const QString& message);
    QString reply() const;

private:
    QLabel* message_;
    QLineEdit* entry_;
};

class QtPlatform : public Platform
{
public:
    QString prompt(QWidget* parent, const QString& message) override;
    void message(QWidget* parent, const QString& text) override;
    QDateTime now() override;
    void endProgram() override;
    void beep() override;
};

// The name the program's windows and messages carry.
void nameTheApplication();
