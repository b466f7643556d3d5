#include "core/LoginUser.h"

namespace {
QString g_number;
QString g_name;
} // namespace

namespace LoginUser {

QString number()
{
    return g_number;
}

QString name()
{
    return g_name;
}

bool isSet()
{
    return !g_number.isEmpty();
}

void set(const QString& number, const QString& name)
{
    g_number = number;
    g_name = name;
}

void reset()
{
    g_number.clear();
    g_name.clear();
}

} // namespace LoginUser
