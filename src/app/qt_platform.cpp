#include "app/qt_platform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

PromptDialog::PromptDialog(QWidget* parent, const QString& message)
    : QDialog(parent), message_(new QLabel(message, this)), entry_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("promptDialog"));
    setWindowTitle(QApplication::applicationDisplayName());
    message_->setObjectName(QStringLiteral("promptMessage"));
    message_->setWordWrap(true);
    message_->setMinimumWidth(360);
    entry_->setObjectName(QStringLiteral("promptEntry"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(entry_);
    layout->addWidget(buttons);
    entry_->setFocus();
}

QString PromptDialog::reply() const
{
    return result() == QDialog::Accepted ? entry_->text() : QString();
}

QString QtPlatform::prompt(QWidget* parent, const QString& message)
{
    PromptDialog dialog(parent, message);
    dialog.exec();
    return dialog.reply();
}

void QtPlatform::message(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QApplication::applicationDisplayName(), text);
}

QDateTime QtPlatform::now()
{
    return QDateTime::currentDateTime();
}

void QtPlatform::endProgram()
{
    QCoreApplication::quit();
}

void QtPlatform::beep()
{
    QApplication::beep();
}

void nameTheApplication()
{
    QApplication::setApplicationName(QStringLiteral("qa-tutor"));
    QApplication::setApplicationDisplayName(QStringLiteral("qa-tutor"));
}
