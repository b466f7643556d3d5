#pragma once

#include <QString>

// The program folder holds pos.mdb, the report files, bill.txt, sound/ and bj10.bmp.
// It is the folder of the running executable; POS_HOME overrides it (tests, several
// demonstration shops on one machine).
namespace ProgramFolder {

// The folder path without a trailing separator.
QString path();
// path() + "/" + name
QString file(const QString& name);
// The database file: path() + "/pos.mdb".
QString databaseFile();
// A file or folder the program ships (report layouts, the background picture, the voice
// files): the one in the program folder when it is there, so a shop can adjust its own copy;
// otherwise the one beside the executable, where the build puts them.
QString shipped(const QString& name);

} // namespace ProgramFolder
