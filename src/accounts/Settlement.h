#pragma once

#include "accounts/SettlementKind.h"
#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"

#include <memory>

// The supplier settlement screen without its widgets: payables (stock-in vouchers) or return
// receivables (return vouchers), as its kind says. It lists the vouchers of a period, shows the
// lines of the selected one and settles it with an amount: the voucher's paid and owed amounts,
// the cash-journal row and the payment record are written together.
class Settlement : public FormState {
public:
    static const QString Rq1, Rq2, Gys, Rkd, Lx, Fkje;
    static const QString Settle, First, Prior, Next, Last, Close, SupplierButton;

    static const GridColumns& listColumns();
    static const GridColumns& lineColumns();

    Settlement(const SettlementKind& kind, Ui& ui);
    ~Settlement() override;

    bool create();
    const SettlementKind& kind() const { return m_kind; }

    // Enter in a filter field searches; Enter in the amount settles.
    void enterPressed(const QString& field) override;

    // "查询": the vouchers of the period that match the filters; the first becomes the selected one.
    bool search();
    // The statement search() runs with the present filters.
    QString searchStatement() const;

    // The list (read a page at a time: a long period holds thousands of vouchers) and the
    // selected voucher's lines.
    PagedQuery& vouchers() { return *m_list; }
    PagedQuery& voucherLines() { return m_lines; }
    bool listOpen() const { return m_searched; }
    int currentRow() const { return m_row; }
    // Moving in the list refills the amount with the voucher's owed amount and shows its lines.
    void setCurrentRow(int row);
    void first();
    void prior();
    void next();
    void last();

    void pickSupplier();

    // "结算".
    bool settle();

private:
    bool dateOk(const QString& field);
    void selectionChanged();

    const SettlementKind& m_kind;
    std::unique_ptr<PagedQuery> m_list;
    PagedQuery m_lines;
    bool m_searched = false;
    int m_row = -1;
};
