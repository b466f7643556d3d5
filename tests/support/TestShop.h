#pragma once

#include "core/DbConnection.h"

#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

// A fresh shop for one test: a temporary program folder (POS_HOME points at it while the
// shop lives) holding a new pos.mdb, with or without the demonstration data.
class TestShop {
public:
    explicit TestShop(bool demo = false);
    ~TestShop();

    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    QString folder() const;
    QString file(const QString& name) const;

    // The shop's own connection, for arranging rows and checking results.
    DbConnection& db() { return *m_db; }

    // Runs one statement with named parameters; QFAIL-friendly: returns false with the
    // engine's text in error().
    bool exec(const QString& sql, const QVariantMap& params = {});
    // The first column of the first row of a select, as a variant (invalid when no row).
    QVariant scalar(const QString& sql, const QVariantMap& params = {});
    int count(const QString& table, const QString& where = QString());

    // Copies the report layouts (*.rav) the build put into the program folder into this shop's
    // folder, where the screens look for them.
    bool installReports();

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    bool m_hadHome = false;
    bool m_valid = false;
    QString m_error;
    std::unique_ptr<DbConnection> m_db;
};
