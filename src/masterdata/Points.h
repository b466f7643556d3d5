#pragma once

#include "core/FormState.h"

#include <QString>
#include <QStringList>

// The two small points dialogs opened from the member list are one design: a heading, one
// entry between its labels, 确认 and 关闭. Each is one row of this table.
struct PointsKind {
    QString formName;       // "Tjfsz_form"
    QString caption;        // "积分基数设置"
    QString heading;        // the line above the entry; empty: the logic's own (the member)
    QString before;         // label before the entry: "每"
    QStringList after;      // labels after it: "元", "= 1分"
    QString accessibleName; // the entry's name for screen readers

    static const PointsKind& base();     // 积分基数设置
    static const PointsKind& exchange(); // 积分兑换
};

// The logic of a points dialog: the entry `jfjs`, 确认, Enter in the entry presses 确认.
class PointsForm : public FormState {
public:
    static const QString Entry;   // "jfjs"
    static const QString Confirm; // the 确认 button

    PointsForm(const PointsKind& kind, Ui& ui);

    const PointsKind& kind() const { return m_kind; }
    // What the heading shows.
    virtual QString heading() const { return m_kind.heading; }

    // Opens the connection and reads what the dialog shows; false, with the reason shown, when
    // the dialog cannot work.
    virtual bool create() = 0;
    virtual bool confirm() = 0;

protected:
    // A typed figure that cannot be used: the message, the entry selected for typing again.
    bool refuse(const QString& message);

private:
    const PointsKind& m_kind;
};

// 积分基数设置 (Tjfsz_form): how many points a yuan of sales earns at checkout, the single row
// of `jfjs`.
class PointsBase : public PointsForm {
public:
    // The base a shop may set: a whole number in this range (0 earns no points).
    static constexpr int kMin = 0;
    static constexpr int kMax = 1000;

    explicit PointsBase(Ui& ui);

    bool create() override;
    bool confirm() override;
};

// 积分兑换 (Tjfdh_form): takes points off one member for a gift. The points must be a number
// above 0 and within the member's balance; each exchange reads the totals as stored, so a second
// exchange in the same dialog starts where the first one left them.
class PointsExchange : public PointsForm {
public:
    PointsExchange(const QString& card, Ui& ui);

    bool create() override;
    bool confirm() override;
    QString heading() const override;

    QString card() const { return m_card; }
    // The member's totals as last read or stored.
    double balance() const { return m_ljjf; }
    double used() const { return m_yyjf; }

private:
    QString m_card;
    QString m_name;
    bool m_found = false;
    double m_ljjf = 0;
    double m_yyjf = 0;
};
