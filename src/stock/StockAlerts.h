#pragma once

#include "core/QueryScreen.h"

// The stock alert screen "商品库存表报警": the products whose stock has reached the lower limit
// (time to reorder) or the upper limit (overstocked) kept in the product master.
class StockAlerts : public QueryScreen {
public:
    // The two radio buttons; "下限" is chosen at first.
    static const QString Xian, Shang;

    static const QueryScreenSpec& screenSpec();
    // The statement of the lower-limit or the upper-limit list.
    static QString statement(bool upper);

    explicit StockAlerts(Ui& ui);
    ~StockAlerts() override;

    // The radio buttons; choosing one does not search again, "查询" does.
    void setUpperList(bool upper) { m_upper = upper; }
    bool upperList() const { return m_upper; }

protected:
    bool run(const QString& rq1, const QString& rq2, QString* error) override;

private:
    bool m_upper = false;
};
