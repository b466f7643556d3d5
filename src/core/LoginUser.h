#pragma once

#include <QString>

// The user who logged in: empty until the login succeeds, never cleared while the program runs.
// Screens that record an operator write the name.
namespace LoginUser {

QString number();
QString name();
bool isSet();
void set(const QString& number, const QString& name);
// Tests only: back to nobody logged in.
void reset();

} // namespace LoginUser
