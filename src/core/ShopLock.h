#pragma once

#include <QLockFile>
#include <QString>

// One till per shop: the program that writes sales holds this lock file in the shop folder
// ("pos.lock" beside pos.mdb) for as long as it runs, and a second one on the same shop is
// refused. The lock is a file of its own, not a lock on the database, so reading tools and a
// backup copy keep working while the till runs. A lock left by a program that crashed or was
// killed is recognised (its process is gone) and taken over.
class ShopLock {
public:
    // The shop folder (the program folder, or POS_HOME).
    ShopLock();
    explicit ShopLock(const QString& folder);
    ~ShopLock();
    ShopLock(const ShopLock&) = delete;
    ShopLock& operator=(const ShopLock&) = delete;

    // Takes the lock; false with error() when another program holds it or it cannot be made.
    bool acquire();
    bool isLocked() const { return m_lock.isLocked(); }
    void release();
    QString error() const { return m_error; }
    QString fileName() const { return m_fileName; }

    static QString lockFileName(); // "pos.lock"
    // The first line of the message when the shop's till is running already.
    static QString alreadyRunningText(); // "本店的收银程序已经在运行"

private:
    QString m_fileName;
    QLockFile m_lock;
    QString m_error;
};
