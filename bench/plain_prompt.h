#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

// The baseline of the program's prompt: a message that wraps, an entry field,
// OK and Cancel, in stock Qt widgets. Named as the program names its prompt,
// so that PromptAnswerer answers both.
class PlainPrompt : public QDialog
{
public:
    PlainPrompt(QWidget* parent, const QString& message) : QDialog(parent)
    {
        setObjectName(QStringLiteral("promptDialog"));
        setWindowTitle(QApplication::applicationDisplayName());
        auto* label = new QLabel(message, this);
        label->setObjectName(QStringLiteral("promptMessage"));
        label->setWordWrap(true);
        label->setMinimumWidth(360);
        auto* entry = new QLineEdit(this);
        entry->setObjectName(QStringLiteral("promptEntry"));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(entry);
        layout->addWidget(buttons);
        entry->setFocus();
    }
};
