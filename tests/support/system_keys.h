#pragma once

#include <QString>
#include <Qt>

class QWidget;

// Key presses as the system sends them where Qt tells them wrong (see
// src/app/system.h), one source file per system.

// A repeat of a key held down that Qt leaves unflagged.
void sendUnflaggedRepeat(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers,
                         const QString& text);

// A fresh press, which Qt may flag as a repeat.
void sendFreshPress(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text);
