#include "app/q_a_template_.h"

#include "text/stream_text.h"

QString q_a_template_::remSpaces(const QString& aLine) const
{
    return ::remSpaces(aLine);
}

void q_a_template_::runRoutine(const QString& routine)
{
    const QString name = routine.toLower();
    if (name == u"graph1" || name == u"graph2" || name == u"graph3") {
        return;
    }
    // "exitprog" and any name the program does not know end the run.
    endProgram();
}

void q_a_template_::cmd_next_picture_Click()
{
    if (ended_) {
        return;
    }
    for (int k = 1; k <= 2; ++k) {
        // An entry past the last index does not exist, so it is no routine entry.
        if (bankCursor + k > kLastBankIndex) {
            continue;
        }
        const QString ahead = entry(bankCursor + k);
        if (beginsWithRoutineKeyword(ahead)) {
            runRoutine(routineName(ahead));
            if (ended_) {
                return;
            }
            bankCursor += k;
        }
    }
}
