#include "plain_window.h"
#include "window_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace
{

using namespace windowControls;

constexpr int kInnerWidth = 10875;
constexpr int kInnerHeight = 8490;

QWidget* make(const Control& c, QWidget* parent)
{
    const QString caption = QString::fromLatin1(c.caption);
    switch (c.kind) {
    case Kind::TextBox: {
        auto* box = new QPlainTextEdit(parent);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        QFont bold = box->font();
        bold.setBold(true);
        bold.setPointSizeF(9.75);
        box->setFont(bold);
        return box;
    }
    case Kind::Button: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case Kind::Label:
        return new QLabel(caption, parent);
    case Kind::WrappedLabel: {
        auto* label = new QLabel(caption, parent);
        label->setWordWrap(true);
        return label;
    }
    case Kind::LineEdit:
        return new QLineEdit(caption, parent);
    case Kind::List:
        return new QListWidget(parent);
    case Kind::Picture: {
        auto* picture = new QWidget(parent);
        QPalette white = picture->palette();
        white.setColor(QPalette::Window, Qt::white);
        picture->setPalette(white);
        picture->setAutoFillBackground(true);
        return picture;
    }
    }
    return nullptr;
}

} // namespace

PlainWindow::PlainWindow()
{
    setObjectName(QStringLiteral("plainWindow"));
    setWindowTitle(QStringLiteral("Form1"));
    const double dpi = screen()->logicalDotsPerInchX();
    const auto twips = [dpi](int value) { return qRound(value * dpi / 1440.0); };
    for (const Control& c : kControls) {
        QWidget* control = make(c, this);
        control->setObjectName(QString::fromLatin1(c.name));
        if (c.index >= 0) {
            control->setProperty("index", c.index);
        }
        control->setGeometry(twips(c.left), twips(c.top), twips(c.width), twips(c.height));
    }
    question = findChild<QPlainTextEdit*>(QStringLiteral("txt_question"));
    answer = findChild<QPlainTextEdit*>(QStringLiteral("txt_answer"));
    resize(twips(kInnerWidth), twips(kInnerHeight));
}
