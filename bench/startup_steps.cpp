#include "startup_steps.h"

#include "app/q_a_template_.h"
#include "first_paint.h"

void loadInSteps(q_a_template_& window)
{
    window.courseTitle = QStringLiteral("Precalculus I");
    window.startUp();
    moments::mark("bank loaded");
    if (!window.ended()) {
        window.openAssignment();
    }
    moments::mark("opened");
}
