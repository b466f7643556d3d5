#pragma once

#include <QString>

class DbConnection;

// The 16-character voucher number: kind prefix, the date as yyyymmdd, a four-digit sequence
// that starts at "0001" for each kind every day.
namespace VoucherNumber {

struct Kind {
    QString prefix;      // "XS01"
    QString headerTable; // "xiaoshoud"
};

// The five kinds: sale, sales return, stock-in, return to supplier, scrap.
Kind sale();
Kind salesReturn();
Kind stockIn();
Kind supplierReturn();
Kind scrap();
// The kind of a prefix; an empty Kind for an unknown one.
Kind kindOf(const QString& prefix);

struct Result {
    QString number; // empty on failure
    QString error;  // why no number was drawn
    bool ok() const { return !number.isEmpty(); }
};

// "2024-03-05" -> "20240305".
QString datePart(const QString& dateText);
// 1 -> "0001", 10 -> "0010", 9999 -> "9999"; empty outside 1 … 9999.
QString sequenceText(int n);

// The next number after the header inserted last for that date part (rule A, drawn when a
// voucher screen starts a voucher).
Result qdjh(DbConnection& db, const Kind& kind, const QString& dateText);
// The next number after the greatest number of the day by the header's date (rule B, drawn
// by the checkout screens after posting).
Result nextAfterPosting(DbConnection& db, const Kind& kind, const QString& dateText);

} // namespace VoucherNumber
