#include "admin/RightsLists.h"

#include "admin/Users.h"

#include <algorithm>

void RightsLists::reset(const QStringList& granted)
{
    m_all.clear();
    m_usable.clear();
    for (const QString& item : Users::allRightItems()) {
        if (granted.contains(item))
            m_usable << item;
        else
            m_all << item;
    }
    std::sort(m_all.begin(), m_all.end());
    m_focus = Side::All;
    m_selected = m_all.isEmpty() ? -1 : 0;
}

void RightsLists::moveSelected(Side from, const QList<int>& rows)
{
    QStringList& source = list(from);
    QList<int> valid;
    for (int row : rows) {
        if (row >= 0 && row < source.size() && !valid.contains(row))
            valid << row;
    }
    if (valid.isEmpty())
        return;
    std::sort(valid.begin(), valid.end());
    const Side to = from == Side::All ? Side::Usable : Side::All;
    QStringList& target = list(to);
    for (auto it = valid.crbegin(); it != valid.crend(); ++it)
        target << source.takeAt(*it);
    if (to == Side::All)
        std::sort(target.begin(), target.end());
    afterMove(from, valid.first());
}

void RightsLists::moveAll(Side from)
{
    QStringList& source = list(from);
    if (source.isEmpty())
        return;
    const Side to = from == Side::All ? Side::Usable : Side::All;
    QStringList& target = list(to);
    target << source;
    source.clear();
    if (to == Side::All)
        std::sort(target.begin(), target.end());
    afterMove(from, 0);
}

void RightsLists::afterMove(Side from, int firstRow)
{
    const QStringList& source = items(from);
    m_focus = from;
    m_selected = source.isEmpty() ? -1 : std::min(firstRow, int(source.size()) - 1);
}
