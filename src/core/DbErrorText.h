#pragma once

#include <QString>

// What a database error means to the person at the till. The engine speaks English ("database
// or disk is full"); the person reads what happened and that nothing was saved, in the
// program's own words, with the engine's text kept on a second line for whoever repairs the
// machine.
namespace DbErrorText {

// The person's message for an engine error text. A text that is none of the engine's common
// errors (for example one of the program's own messages) comes back unchanged, and so does a
// text that has been turned into the person's message already.
QString forPerson(const QString& engineText);

// The Chinese name of a column as the screens label it ("fkfs" -> "付款方式"); the column's
// own name when it has none.
QString columnCaption(const QString& column);

} // namespace DbErrorText
