#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;

// The 30 tables of pos.mdb, their indexes, the schema version and its migrations.
namespace Schema {

struct Column {
    QString name;
    QString type; // "text(20)", "text", "integer", "smallint", "auto", "double", "decimal", "currency", "datetime"
};

struct Table {
    QString name;
    QList<Column> columns;
};

// Every table in the order it is created.
const QList<Table>& tables();
QStringList tableNames();

// The version a freshly created file carries; migrations raise it one by one.
int currentVersion();
int fileVersion(DbConnection& db);

// Creates every table and index of version 1 in an empty database, applies every migration
// and stamps the current version.
bool create(DbConnection& db, QString* error);
// Brings an older file up to the current version, one numbered migration at a time, each in
// a transaction of its own. A file newer than this program is refused.
bool migrate(DbConnection& db, QString* error);

// The CREATE TABLE statement of one table.
QString createStatement(const Table& table);

} // namespace Schema
