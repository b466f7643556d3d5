#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Backing up and restoring the shop's database file while the program has it open.
//
// A backup is a snapshot taken with SQLite's online backup: it holds one read transaction on
// the shop for the whole copy, so it is consistent even while a sale is being posted, and it
// includes what is still in the write-ahead log. A backup file is a plain database file of its
// own (no log beside it) and is never written over an existing file.
//
// A restore first checks the backup on a private working copy (a database file, undamaged, with
// this program's tables, a version not newer than ours, migrated to ours), keeps the current
// data as a backup beside it, closes every connection of the program to the shop, writes the
// backup's pages into the shop through SQLite (so the shop's old log can never be replayed over
// them) and opens the connections again.
namespace DatabaseBackup {

// How far a copy has come, 0 … 100.
using Progress = std::function<void(int percent)>;

// "pos2026-12-10": the proposed name of a backup made on that day (".bak" is added).
QString proposedName(const QDate& day);
// A backup kept before a risky action, in `folder`: "pos-初始化前-2026-12-10-153000.bak"; when a
// file of that name exists already, "-2", "-3" … is added before ".bak".
QString safetyFile(const QString& folder, const QString& label, const QDateTime& when);

// Copies the database `source` into the new file `target`. An existing target is refused and
// left as it is; a failed copy leaves no file behind.
bool backup(const QString& source, const QString& target, const Progress& progress, QString* error);

// Whether `file` could be restored: opens as a database, passes the integrity check, carries
// this program's version (not newer than ours) and, once migrated, all its tables. `file` itself
// is not changed.
bool check(const QString& file, QString* reason);

struct RestoreResult {
    bool ok = false;
    QString reason;            // why nothing was changed, or what went wrong
    QString keptAs;            // where the data from before the restore was kept ("" when no shop existed)
    bool reopenFailed = false; // restored, but a connection of the program could not be reopened
};

// Replaces the data of `database` by that of the backup `file`. Before anything changes,
// the backup is checked and the current data is kept in `keepCurrentAs`; when either fails,
// `database` is left exactly as it was. A shop file that SQLite cannot read at all is kept byte
// for byte (with its log as `keepCurrentAs` + "-wal") and replaced by the checked backup; a missing
// one is created.
RestoreResult restore(const QString& file, const QString& database, const QString& keepCurrentAs,
                      const Progress& progress);

// Tests: pages copied per step (the smaller, the more often the progress moves).
void setPagesPerStep(int pages);

} // namespace DatabaseBackup
