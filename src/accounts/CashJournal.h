#pragma once

#include "core/QueryScreen.h"

// The cash journal screen "现金流水账": the journal rows of a period, both days included, in
// the order they were added; exported to a workbook or printed as a grid.
class CashJournal : public QueryScreen {
public:
    static const QueryScreenSpec& screenSpec();

    explicit CashJournal(Ui& ui);
    ~CashJournal() override;

protected:
    bool run(const QString& rq1, const QString& rq2, QString* error) override;
};
