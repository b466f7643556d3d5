#pragma once

#include <QString>

// A shop's database looked at before the till changes it. Opening the file for writing already
// changes it (the write-ahead journal is recorded in its header, an empty file becomes a
// database), so every check here reads the file through a read-only connection and leaves
// every byte as it was.
namespace DatabaseCheck {

// Why the till must not use the file, as a message naming the file and the problem (missing,
// empty, not SQLite, from a newer program, not a database of this program, a missing table or
// column by name, read-only); empty when the file may be opened and upgraded.
QString problem(const QString& file);

} // namespace DatabaseCheck
