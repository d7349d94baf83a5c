#pragma once

#include <QDate>
#include <QTime>

// The moment the scripted clock shows, which the expected records hold.
inline const QDate kDate(2026, 4, 16);
inline const QTime kTime(14, 5, 9);
