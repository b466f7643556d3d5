#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"

// The shift handover screen without its widgets: the cash box amount, the takings handed over
// (with their cash-journal row) and the adjustment of the cash box. Every change of the cash
// box made here is recorded with who made it, the old and the new amount and the reason; the
// screen shows the last ten such records.
class ShiftHandover : public FormState {
public:
    static const QString Boxje, Jbje, Boxye, Jbjl, Tzje, Tzyy;
    static const QString HandOver, Adjust, Confirm, Close;
    // Texts of the check box field.
    static const QString Ticked, Unticked;

    static const GridColumns& auditColumns();
    // How many cash-box records the screen shows.
    static constexpr int kAuditRows = 10;

    explicit ShiftHandover(Ui& ui);
    ~ShiftHandover() override;

    bool create();

    void enterPressed(const QString& field) override;

    // Enter in "交班金额": the balance after the handover.
    bool computeBalance();
    // "交班".
    bool handOver();
    // "调整" shows or hides the adjustment panel.
    void toggleAdjustment() { m_panelVisible = !m_panelVisible; }
    bool adjustmentVisible() const { return m_panelVisible; }
    // "确认".
    bool adjust();

    // The latest cash-box records, newest first.
    PagedQuery& audit() { return m_audit; }

private:
    bool readBox(double* amount, QString* error);
    bool showBox();
    bool setBox(double amount, const QString& kind, const QString& reason, double journalAmount, bool journal);

    PagedQuery m_audit;
    bool m_panelVisible = false;
};
