#pragma once

#include <QWidget>

// The baseline of the report window's first paint: the same controls,
// captions, layout and fonts in stock Qt widgets, and nothing of the
// program (no options read from the command line's table, no settings, no
// download checked). The controls carry the window's object names.
class PlainReportWindow : public QWidget
{
public:
    PlainReportWindow();
};
