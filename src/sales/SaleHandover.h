#pragma once

#include <QString>

#include <functional>

// What the sales (or return) screen hands to its checkout when PgDn is pressed, each value
// the text it holds at that moment.
struct SaleHandover {
    QString total;         // hjje, the undiscounted sum of the line amounts
    QString memberCard;    // the member's hykh, "~" for none
    QString voucherNumber; // djbh
    QString customer;      // kh: "会员" or "非会员"
    QString date;          // rq, "yyyy-mm-dd"
    QString quantity;      // hjsl
    QString operatorName;  // czy
    QString discount;      // zhekou
    QString warehouse;     // the text of ck
};

// The checkout's answer: posted or not, and when posted the number of the next voucher.
struct CheckoutAnswer {
    bool posted = false;
    QString nextNumber;
};

// Opens the checkout for a handover and returns when it closes.
using CheckoutRunner = std::function<CheckoutAnswer(const SaleHandover&)>;
