#pragma once

#include <QString>

// The program's texts end lines with CR LF; a text box shows LF. One pass, so
// a send file of many megabytes costs its length, not its square.
QString withBoxLineEnds(const QString& text);
