#include "core/Clock.h"

namespace {
QDateTime g_fixed;
}

namespace Clock {

QDateTime now()
{
    return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

QTime time()
{
    return now().time();
}

void setFixed(const QDateTime& moment)
{
    g_fixed = moment;
}

void reset()
{
    g_fixed = QDateTime();
}

QDateTime fixedMoment()
{
    return g_fixed;
}

QString todayText()
{
    return today().toString(QStringLiteral("yyyy-MM-dd"));
}

QString timeText()
{
    return time().toString(QStringLiteral("hh:mm:ss"));
}

} // namespace Clock
