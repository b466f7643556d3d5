#include "core/ui/Screens.h"

#include <QHash>

namespace {
QHash<QString, Screens::Factory>& registry()
{
    static QHash<QString, Screens::Factory> r;
    return r;
}
} // namespace

namespace Screens {

void add(const QString& formName, Factory factory)
{
    registry().insert(formName, std::move(factory));
}

Factory find(const QString& formName)
{
    return registry().value(formName);
}

bool has(const QString& formName)
{
    return registry().contains(formName);
}

} // namespace Screens
