#pragma once

#include "report/report_options.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QSettings;
class QWidget;

// The report's options the window offers, each made from its entry in the
// command line's table, so that the window and the command line cannot
// drift: a switch is a check box labelled with the first words of its help,
// an option of a few values a list of them after "default"; its help whole
// is its tooltip and what a screen reader is told of it. The files the
// report reads and writes are the window's own fields.
class OptionControls
{
public:
    OptionControls(QWidget* parent, QFormLayout* layout);

    // Whether the window shows a control of the option.
    static bool offered(const ReportOption& option);

    // The options chosen, into `options`; a value only where the options
    // given leave room for it, as the command line would take them.
    void apply(ReportOptions& options) const;
    // Each list enabled only where the options given leave room for it: a
    // grades format needs a class list.
    void enableFor(const ReportOptions& options);

    void restore(const QSettings& settings);
    void remember(QSettings& settings) const;

private:
    struct Control {
        const ReportOption* option;
        QCheckBox* box = nullptr;
        QComboBox* list = nullptr;
    };
    static bool roomFor(const Control& control, const ReportOptions& options);

    std::vector<Control> controls_;
};
