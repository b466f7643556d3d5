#include "support/TestShop.h"

#include "schema/Setup.h"

#include <QDir>
#include <QFile>

TestShop::TestShop(bool demo)
{
    m_hadHome = qEnvironmentVariableIsSet("POS_HOME");
    m_oldHome = qgetenv("POS_HOME");
    qputenv("POS_HOME", m_dir.path().toUtf8());
    Setup::Options options;
    options.demo = demo;
    m_valid = Setup::createDatabase(file(QStringLiteral("pos.mdb")), options, &m_error);
    m_db = std::make_unique<DbConnection>(file(QStringLiteral("pos.mdb")));
    if (m_valid && !m_db->open()) {
        m_valid = false;
        m_error = m_db->lastError();
    }
}

TestShop::~TestShop()
{
    m_db->close();
    if (m_hadHome)
        qputenv("POS_HOME", m_oldHome);
    else
        qunsetenv("POS_HOME");
}

QString TestShop::folder() const
{
    return m_dir.path();
}

QString TestShop::file(const QString& name) const
{
    return m_dir.path() + QLatin1Char('/') + name;
}

bool TestShop::exec(const QString& sql, const QVariantMap& params)
{
    Query q(*m_db);
    q.setSql(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    if (!q.execute()) {
        m_error = q.lastError();
        return false;
    }
    return true;
}

QVariant TestShop::scalar(const QString& sql, const QVariantMap& params)
{
    Query q(*m_db);
    q.setSql(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    if (!q.open() || q.isEmpty() || q.columns().isEmpty()) {
        m_error = q.lastError();
        return QVariant();
    }
    return q.value(q.columns().first());
}

int TestShop::count(const QString& table, const QString& where)
{
    return scalar(QStringLiteral("select count(*) as n from ") + table +
                  (where.isEmpty() ? QString() : QStringLiteral(" where ") + where))
        .toInt();
}

bool TestShop::installReports()
{
    const QDir built(QStringLiteral(POS_BUILT_PROGRAM_DIR));
    const QStringList names = built.entryList({QStringLiteral("*.rav")}, QDir::Files);
    for (const QString& n : names) {
        QFile::remove(file(n));
        if (!QFile::copy(built.filePath(n), file(n))) {
            m_error = QStringLiteral("cannot copy ") + n;
            return false;
        }
    }
    return !names.isEmpty();
}
