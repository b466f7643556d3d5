#pragma once

#include <QString>

// Creates pos.mdb: the tables, the rows the program needs to start (settings, cash box,
// points base, the administrator "001"), and on request a small demonstration shop.
namespace Setup {

struct Options {
    bool demo = false;
    QString shopName = QStringLiteral("翠湖超市");
};

// The first user, printed by the set-up program.
QString adminNumber();
QString adminPassword();

// Refuses a file that already exists; a failure leaves no file behind.
bool createDatabase(const QString& file, const Options& options, QString* error);
// Takes away a database file made by createDatabase with its write-ahead log and shared-memory
// files (a later step of the set-up failed).
void removeDatabase(const QString& file);

// The EAN-13 check digit for 12 digits.
int ean13CheckDigit(const QString& twelveDigits);

} // namespace Setup
