#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// Every "today" and "now" of the program comes from here, so tests can set the time.
namespace Clock {

QDateTime now();
QDate today();
QTime time();

// Tests: freeze the clock at a moment (an invalid value returns to the system clock).
void setFixed(const QDateTime& moment);
void reset();
// The moment the clock is frozen at; invalid while it follows the system clock. Work that sets
// the clock for a while puts this back afterwards.
QDateTime fixedMoment();

// "yyyy-MM-dd", the form of every date column.
QString todayText();
// "hh:mm:ss", the form of every time column.
QString timeText();

} // namespace Clock
