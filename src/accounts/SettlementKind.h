#pragma once

#include "accounts/Journal.h"

#include <QString>
#include <QStringList>

// What differs between paying suppliers for goods received and collecting what they owe for
// goods sent back. The two screens are one screen; each reads its words, tables, picker, journal
// movement and payment record from its kind.
struct SettlementKind {
    QString screenForm;    // "Trkyf_form"
    QString screenCaption; // "入库应付"

    QString headerTable; // "jinhuodan"
    QString lineTable;   // "jinhuodanrecord"

    // The status drop-down: open vouchers, settled ones, all.
    QString openStatus;    // "未付"
    QString settledStatus; // "已付"
    QString allStatus;     // "全部"

    QString listTab;        // "入库单"
    QString linesTab;       // "入库单明细表"
    QString numberLabel;    // "入库单编号"
    QString amountLabel;    // "本次结清应付"
    QString searchButton;   // object name: "BitBtn1"
    QString supplierPicker; // "Tsphelp9_form"

    // The journal row of one settlement.
    Journal::Movement (*movement)(double amount, const QString& supplier) = nullptr;
    // The payment record the profit statement sums: "jine" or "jine2".
    QString paymentTable;

    QStringList statusItems() const { return {openStatus, settledStatus, allStatus}; }

    static const SettlementKind& payables();
    static const SettlementKind& receivables();
};
