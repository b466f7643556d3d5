#pragma once

#include <QList>
#include <QStringList>

// The two lists of the rights dialog: "全部菜单" (the rights not held, always sorted) and
// "可使用的菜单" (the rights held), and the four moves between them.
class RightsLists {
public:
    enum class Side { All, Usable };

    // The dialog opens with the user's rights on the right and the others on the left.
    void reset(const QStringList& granted);

    const QStringList& all() const { return m_all; }
    const QStringList& usable() const { return m_usable; }
    const QStringList& items(Side side) const { return side == Side::All ? m_all : m_usable; }

    // ">" (from All) and "<" (from Usable): the items at `rows` of that list go to the other.
    // ">" takes them from the last to the first, so several arrive at the end in reverse order;
    // "<" puts them back into the sorted list.
    void moveSelected(Side from, const QList<int>& rows);
    // ">>" and "<<": every item, in order.
    void moveAll(Side from);

    // After a move the source list has the focus and its item at the position of the first moved
    // item is selected (its last item when it has become shorter; none when it is empty).
    Side focus() const { return m_focus; }
    int selectedRow() const { return m_selected; }

    // ">" and ">>" work while "全部菜单" has items; "<" and "<<" while "可使用的菜单" has.
    bool canGrant() const { return !m_all.isEmpty(); }
    bool canRevoke() const { return !m_usable.isEmpty(); }

private:
    QStringList& list(Side side) { return side == Side::All ? m_all : m_usable; }
    void afterMove(Side from, int firstRow);

    QStringList m_all;
    QStringList m_usable;
    Side m_focus = Side::All;
    int m_selected = -1;
};
