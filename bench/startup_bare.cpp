// The baseline of the start-up benchmark: an empty window of the program's
// size, shown until its first paint.
#include "first_paint.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    // The program window's inner area in twips (q_a_template_.cpp), at this screen's DPI.
    const double dpi = window.screen()->logicalDotsPerInchX();
    window.resize(qRound(10875 * dpi / 1440.0), qRound(8490 * dpi / 1440.0));
    new ExitOnFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
