#pragma once

#include <QList>
#include <QString>

class DbConnection;
class QThread;

// Every open DbConnection of the process, so that replacing the shop's data (a restore) can
// close each connection to the file first, the main window's too, and open them again after.
// DbConnection reports itself here when it opens, closes and goes away.
namespace ConnectionRegistry {

void opened(DbConnection* connection);
void closed(DbConnection* connection);
void destroyed(DbConnection* connection);

// The open connections to a file (compared as canonical paths), of the calling thread only:
// a connection may only be used, and so closed, by the thread that opened it.
QList<DbConnection*> openConnections(const QString& file);

} // namespace ConnectionRegistry

// Closes every open connection of this thread to one file for as long as it lives, and opens
// them again when it ends (or at reopen()). A connection destroyed meanwhile is simply dropped.
class ConnectionSuspension {
public:
    explicit ConnectionSuspension(const QString& file);
    ~ConnectionSuspension();
    ConnectionSuspension(const ConnectionSuspension&) = delete;
    ConnectionSuspension& operator=(const ConnectionSuspension&) = delete;

    // How many connections were closed.
    int count() const;
    // Opens them again; false with the first failure's text when one of them cannot be opened.
    bool reopen(QString* error = nullptr);

    // Used by the registry when a suspended connection is destroyed.
    void drop(DbConnection* connection);

private:
    QList<DbConnection*> m_closed;
    bool m_reopened = false;
};
