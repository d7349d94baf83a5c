#include "report_window/option_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSettings>

namespace
{

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

// "--grades-format" as "grades-format", the control's object name.
QString bareName(const ReportOption& option)
{
    return text(option.name).mid(2);
}

QString settingsKey(const ReportOption& option)
{
    return QStringLiteral("options/") + bareName(option);
}

QString capitalized(QString words)
{
    if (!words.isEmpty()) {
        words[0] = words[0].toUpper();
    }
    return words;
}

// A switch's label: its help up to the first comma, "Read the send files in
// the folders' subfolders as well".
QString switchLabel(const ReportOption& option)
{
    const QString help = text(option.help);
    return capitalized(help.left(help.indexOf(QStringLiteral(", "))));
}

// A value option's label: its name in words, "Grades format".
QString valueLabel(const ReportOption& option)
{
    return capitalized(bareName(option).replace(u'-', u' '));
}

// What a screen reader and a tooltip tell: the option as the command line
// names it, and its help.
QString description(const ReportOption& option)
{
    return text(option.name) + QStringLiteral(": ") + text(option.help);
}

const QString kDefault = QStringLiteral("default");

} // namespace

bool OptionControls::offered(const ReportOption& option)
{
    return option.on != nullptr || !option.values.empty();
}

OptionControls::OptionControls(QWidget* parent, QFormLayout* layout)
{
    for (const ReportOption& option : reportOptions()) {
        if (!offered(option)) {
            continue;
        }
        Control control{&option};
        QWidget* widget = nullptr;
        if (option.on) {
            control.box = new QCheckBox(switchLabel(option), parent);
            control.box->setAccessibleName(control.box->text());
            layout->addRow(control.box);
            widget = control.box;
        } else {
            control.list = new QComboBox(parent);
            control.list->addItem(kDefault, QString());
            for (const QString& value : text(option.values).split(QStringLiteral(", "))) {
                control.list->addItem(value, value);
            }
            control.list->setAccessibleName(valueLabel(option));
            layout->addRow(valueLabel(option) + u':', control.list);
            widget = control.list;
        }
        widget->setObjectName(bareName(option));
        widget->setToolTip(description(option));
        widget->setAccessibleDescription(description(option));
        controls_.push_back(control);
    }
}

bool OptionControls::roomFor(const Control& control, const ReportOptions& options)
{
    ReportOptions trial = options;
    trial.*control.option->text = control.list->itemData(1).toString().toStdString();
    return optionsConflict(trial).empty();
}

void OptionControls::apply(ReportOptions& options) const
{
    for (const Control& control : controls_) {
        if (control.box) {
            options.*control.option->on = control.box->isChecked();
        }
    }
    for (const Control& control : controls_) {
        if (control.list && roomFor(control, options)) {
            options.*control.option->text = control.list->currentData().toString().toStdString();
        }
    }
}

void OptionControls::enableFor(const ReportOptions& options)
{
    for (const Control& control : controls_) {
        if (control.list) {
            control.list->setEnabled(roomFor(control, options));
        }
    }
}

void OptionControls::restore(const QSettings& settings)
{
    for (const Control& control : controls_) {
        if (control.box) {
            // A course site's download unpacked is a folder a student.
            const bool byDefault = control.option->name == "--recursive";
            control.box->setChecked(
                settings.value(settingsKey(*control.option), byDefault).toBool());
        } else {
            const int at = control.list->findData(settings.value(settingsKey(*control.option)));
            control.list->setCurrentIndex(at < 0 ? 0 : at);
        }
    }
}

void OptionControls::remember(QSettings& settings) const
{
    for (const Control& control : controls_) {
        settings.setValue(settingsKey(*control.option), control.box
                                                            ? QVariant(control.box->isChecked())
                                                            : control.list->currentData());
    }
}
