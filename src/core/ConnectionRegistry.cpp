#include "core/ConnectionRegistry.h"

#include "core/DbConnection.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QThread>

namespace {

struct State {
    QMutex mutex;
    QHash<DbConnection*, QThread*> open; // connection -> the thread that opened it
    QList<ConnectionSuspension*> suspensions;
};

// Never destroyed: connections may outlive every other static at exit.
State& state()
{
    static State* s = new State;
    return *s;
}

QString samePathKey(const QString& file)
{
    const QFileInfo info(file);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

namespace ConnectionRegistry {

void opened(DbConnection* connection)
{
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.open.insert(connection, QThread::currentThread());
}

void closed(DbConnection* connection)
{
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.open.remove(connection);
}

void destroyed(DbConnection* connection)
{
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.open.remove(connection);
    for (ConnectionSuspension* suspension : std::as_const(s.suspensions))
        suspension->drop(connection);
}

QList<DbConnection*> openConnections(const QString& file)
{
    const QString key = samePathKey(file);
    State& s = state();
    QMutexLocker lock(&s.mutex);
    QList<DbConnection*> list;
    for (auto it = s.open.cbegin(); it != s.open.cend(); ++it) {
        if (it.value() == QThread::currentThread() && samePathKey(it.key()->file()) == key)
            list << it.key();
    }
    return list;
}

} // namespace ConnectionRegistry

ConnectionSuspension::ConnectionSuspension(const QString& file)
{
    const QList<DbConnection*> list = ConnectionRegistry::openConnections(file);
    {
        State& s = state();
        QMutexLocker lock(&s.mutex);
        s.suspensions << this;
    }
    for (DbConnection* connection : list) {
        connection->close();
        m_closed << connection;
    }
}

ConnectionSuspension::~ConnectionSuspension()
{
    reopen();
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.suspensions.removeAll(this);
}

int ConnectionSuspension::count() const
{
    return int(m_closed.size());
}

bool ConnectionSuspension::reopen(QString* error)
{
    if (m_reopened)
        return true;
    m_reopened = true;
    bool ok = true;
    for (DbConnection* connection : std::as_const(m_closed)) {
        if (!connection->open() && ok) {
            ok = false;
            if (error)
                *error = connection->lastError();
        }
    }
    return ok;
}

void ConnectionSuspension::drop(DbConnection* connection)
{
    m_closed.removeAll(connection);
}
