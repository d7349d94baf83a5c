#include "app/q_a_template_.h"

#include "app/platform.h"
#include "pictures/picture_box.h"

#include <QApplication>
#include <QClipboard>

void q_a_template_::cmd_copy_picture_Click()
{
    if (ended_) {
        return;
    }
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setImage(Picture1->shownImage());
    Picture2->setPicture(QPixmap::fromImage(clipboard->image()));
}

void q_a_template_::cmd_pend_exp_Click()
{
    // A second click leaves the running timer as it is.
    if (!ended_ && !tmr_pend_exp.isActive()) {
        tmr_pend_exp.start();
    }
}

void q_a_template_::tmr_pend_exp_Timer()
{
    if (ended_) {
        return;
    }
    platform_.beep();
    const float r = random_.draw();
    Picture1->drawCircle({500, 500}, 500.0f * r);
}
