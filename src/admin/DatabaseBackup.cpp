#include "admin/DatabaseBackup.h"

#include "core/ConnectionRegistry.h"
#include "core/DbConnection.h"
#include "schema/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace DatabaseBackup {

namespace {

int g_pagesPerStep = 256; // 1 MB of 4 KB pages between two looks at the progress
constexpr int kBusyWaitMs = 30000;

QString native(const QString& file)
{
    return QDir::toNativeSeparators(file);
}

void report(const Progress& progress, int percent)
{
    if (progress)
        progress(qBound(0, percent, 100));
}

// A working file's SQLite companions go with it.
void removeWithCompanions(const QString& file)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(file + QString::fromLatin1(suffix));
}

// A new, empty file with a unique name in `folder`, for a copy that only takes its real name
// once it is complete.
QString reserveWorkingFile(const QString& folder, const QString& pattern, QString* error)
{
    QTemporaryFile tmp(folder + QLatin1Char('/') + pattern);
    tmp.setAutoRemove(false);
    if (!tmp.open()) {
        *error = QStringLiteral("不能在文件夹 %1 中建立文件：%2").arg(native(folder), tmp.errorString());
        return QString();
    }
    const QString name = tmp.fileName();
    tmp.close();
    // A stray log of an earlier file of the same name must not be read as this one's.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(name + QString::fromLatin1(suffix));
    return name;
}

// A raw SQLite handle, closed when it goes.
class Handle {
public:
    ~Handle() { close(); }
    // `shop`: the file may be open in the till at the same time. Closing this handle then never
    // checkpoints or removes the log and its index on the grounds of being the last connection:
    // that judgement rests on file locks, which a till that lost them (any other handle on the
    // file closed in its process drops them) could no longer show.
    bool open(const QString& file, int flags, QString* error, bool shop = false)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            *error = QStringLiteral("无法打开 %1：%2").arg(native(file), message(rc));
            close();
            return false;
        }
        sqlite3_busy_timeout(m_db, 5000);
        if (shop)
            sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        return true;
    }
    void close()
    {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    sqlite3* db() const { return m_db; }
    int lastCode() const { return m_db ? (sqlite3_errcode(m_db) & 0xff) : SQLITE_ERROR; }
    QString message(int rc) const
    {
        const char* text = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        return QString::fromUtf8(text ? text : sqlite3_errstr(rc));
    }
    bool exec(const char* sql, QString* error)
    {
        char* msg = nullptr;
        const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &msg);
        if (rc != SQLITE_OK) {
            *error = QString::fromUtf8(msg ? msg : sqlite3_errstr(rc));
            sqlite3_free(msg);
            return false;
        }
        return true;
    }
    // The first column of the first row, as text.
    bool scalar(const char* sql, QString* value, QString* error)
    {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                const unsigned char* text = sqlite3_column_text(st, 0);
                *value = QString::fromUtf8(reinterpret_cast<const char*>(text));
                rc = SQLITE_OK;
            } else if (rc == SQLITE_DONE) {
                value->clear();
                rc = SQLITE_OK;
            }
        }
        if (rc != SQLITE_OK)
            *error = message(rc);
        sqlite3_finalize(st);
        return rc == SQLITE_OK;
    }

private:
    sqlite3* m_db = nullptr;
};

// Copies every page of `from` into `to`, moving the progress from `low` to `high`. A busy
// destination (another connection writing) is waited for, up to kBusyWaitMs at a stretch.
bool copyPages(Handle& from, Handle& to, const Progress& progress, int low, int high, QString* error)
{
    sqlite3_backup* b = sqlite3_backup_init(to.db(), "main", from.db(), "main");
    if (!b) {
        *error = to.message(SQLITE_ERROR);
        return false;
    }
    QElapsedTimer busy;
    int rc = SQLITE_OK;
    for (;;) {
        rc = sqlite3_backup_step(b, g_pagesPerStep);
        if (rc == SQLITE_OK || rc == SQLITE_DONE) {
            busy.invalidate();
            const int total = sqlite3_backup_pagecount(b);
            const int left = sqlite3_backup_remaining(b);
            if (total > 0)
                report(progress, low + int(qint64(high - low) * (total - left) / total));
            if (rc == SQLITE_DONE)
                break;
            continue;
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (!busy.isValid())
                busy.start();
            if (busy.elapsed() < kBusyWaitMs) {
                sqlite3_sleep(20);
                continue;
            }
        }
        break;
    }
    const int finished = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        const int code = rc != SQLITE_DONE ? rc : finished;
        *error =
            code == SQLITE_BUSY || code == SQLITE_LOCKED ? QStringLiteral("数据库正被其它程序占用") : to.message(code);
        return false;
    }
    report(progress, high);
    return true;
}

// The consistent copy of `source` into the working file `work` (already reserved, empty).
bool snapshot(const QString& source, const QString& work, const Progress& progress, int low, int high, QString* error)
{
    if (!QFileInfo::exists(source)) {
        *error = QStringLiteral("找不到数据库文件 %1").arg(native(source));
        return false;
    }
    Handle from;
    Handle to;
    QString dummy;
    if (!from.open(source, SQLITE_OPEN_READWRITE, error, true) || !to.open(work, SQLITE_OPEN_READWRITE, error))
        return false;
    // One read transaction over the whole copy: every step reads the same snapshot, so a sale
    // committed meanwhile neither tears the copy nor makes it start again.
    if (!from.exec("BEGIN", error))
        return false;
    QString count;
    bool ok = from.scalar("select count(*) from sqlite_master", &count, error) &&
              copyPages(from, to, progress, low, high, error);
    from.exec("COMMIT", &dummy);
    // The copy stands alone: no write-ahead log beside a backup file.
    ok = ok && to.exec("PRAGMA journal_mode=DELETE", error);
    from.close();
    to.close();
    return ok;
}

QSet<QString> tablesOf(DbConnection& db, QString* error)
{
    QSet<QString> names;
    Query q(db);
    q.setSql(QStringLiteral("select name from sqlite_master where type='table'"));
    if (!q.open()) {
        *error = q.lastError();
        return names;
    }
    for (int row = 0; row < q.recordCount(); ++row)
        names.insert(q.text(row, QStringLiteral("name")).toLower());
    return names;
}

quint32 bigEndian(const QByteArray& bytes, int at, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | quint8(bytes.at(at + i));
    return v;
}

// A file cut short reads its missing end as zeros, which the integrity check cannot always tell
// from unused space: the length must be whole pages, as many as the header counts.
bool checkLength(const QString& file, QString* reason)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("无法读取文件（%1）").arg(f.errorString());
        return false;
    }
    const QByteArray header = f.read(100);
    const qint64 size = f.size();
    if (size == 0) {
        *reason = QStringLiteral("文件是空的（0 字节），不是本系统的数据备份");
        return false;
    }
    if (header.size() < 100 || !header.startsWith("SQLite format 3")) {
        *reason = QStringLiteral("文件不是数据库文件");
        return false;
    }
    qint64 pageSize = bigEndian(header, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        *reason = QStringLiteral("文件已损坏（页大小 %1 不对）").arg(pageSize);
        return false;
    }
    const quint32 pages = bigEndian(header, 28, 4);
    const bool countValid = pages > 0 && bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    if (size % pageSize != 0 || (countValid && size < qint64(pages) * pageSize)) {
        *reason = QStringLiteral("文件不完整（%1 字节，应为 %2 字节）")
                      .arg(size)
                      .arg(countValid ? qint64(pages) * pageSize : (size / pageSize + 1) * pageSize);
        return false;
    }
    return true;
}

// The reason names the missing tables, the first few of many.
bool hasAllTables(const QSet<QString>& tables, QString* reason)
{
    QStringList missing;
    for (const QString& name : Schema::tableNames()) {
        if (!tables.contains(name.toLower()))
            missing << name;
    }
    if (missing.isEmpty())
        return true;
    constexpr int kNamed = 5;
    *reason = QStringLiteral("文件缺少本系统的数据表：%1").arg(missing.mid(0, kNamed).join(QStringLiteral("、")));
    if (missing.size() > kNamed)
        *reason += QStringLiteral("等 %1 个").arg(missing.size());
    return false;
}

// Checks the working copy and brings it up to our version. `reason` says why it cannot be
// restored.
bool checkAndMigrate(const QString& work, QString* reason)
{
    if (!checkLength(work, reason))
        return false;
    DbConnection db(work);
    // The engine's own words in the reasons: the person's messages would name the working copy.
    if (!db.open()) {
        const QString engine = db.engineError().isEmpty() ? db.lastError() : db.engineError();
        const bool damaged = engine.contains(QLatin1String("malformed"));
        *reason =
            (damaged ? QStringLiteral("文件已损坏（%1）") : QStringLiteral("文件不是数据库文件（%1）")).arg(engine);
        return false;
    }
    Query q(db);
    q.setSql(QStringLiteral("pragma integrity_check"));
    if (!q.open()) {
        *reason = QStringLiteral("文件已损坏（%1）").arg(q.engineError().isEmpty() ? q.lastError() : q.engineError());
        return false;
    }
    // The engine may give every problem in one row, one a line, under a heading line.
    QStringList problems;
    for (int row = 0; row < q.recordCount(); ++row) {
        const QStringList lines = Query::variantText(q.rows().at(row).value(0)).split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (!line.isEmpty() && !line.startsWith(QLatin1String("*** in database")))
                problems << line;
        }
    }
    if (problems != QStringList{QStringLiteral("ok")}) {
        *reason = QStringLiteral("文件已损坏（%1）").arg(problems.mid(0, 3).join(QStringLiteral("；")));
        return false;
    }
    const int version = Schema::fileVersion(db);
    if (version > Schema::currentVersion()) {
        *reason = QStringLiteral("文件的版本（%1）比本程序（%2）新，请使用新版本的程序恢复")
                      .arg(version)
                      .arg(Schema::currentVersion());
        return false;
    }
    QString error;
    QSet<QString> tables = tablesOf(db, &error);
    if (!error.isEmpty()) {
        *reason = QStringLiteral("文件无法读取（%1）").arg(error);
        return false;
    }
    if (version < 1 || !tables.contains(QStringLiteral("userlogin")) || !tables.contains(QStringLiteral("xtsz"))) {
        *reason = QStringLiteral("文件不是本系统的数据备份");
        return false;
    }
    // Every release had these tables; a file without one of them is no backup of ours, and is
    // told so before an upgrade of it would fail over the missing table.
    if (!hasAllTables(tables, reason) || !Schema::migrate(db, &error)) {
        if (!error.isEmpty())
            *reason = error;
        return false;
    }
    tables = tablesOf(db, &error);
    if (!error.isEmpty()) {
        *reason = QStringLiteral("文件无法读取（%1）").arg(error);
        return false;
    }
    return hasAllTables(tables, reason);
}

// A private byte copy of a closed backup file, so that checking and migrating never change the
// person's file (a file in the log mode would otherwise grow a log beside it).
QString workingCopy(const QString& file, const QString& folder, QString* error)
{
    if (!QFileInfo(file).isFile()) {
        *error = QStringLiteral("找不到文件 %1").arg(native(file));
        return QString();
    }
    const QString work = reserveWorkingFile(folder, QStringLiteral(".pos-restore-XXXXXX"), error);
    if (work.isEmpty())
        return QString();
    QFile in(file);
    QFile out(work);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取文件 %1：%2").arg(native(file), in.errorString());
        removeWithCompanions(work);
        return QString();
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("无法写入文件 %1：%2").arg(native(work), out.errorString());
        removeWithCompanions(work);
        return QString();
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError || out.error() != QFileDevice::NoError || !out.flush()) {
        *error = QStringLiteral("复制文件 %1 失败：%2")
                     .arg(native(file), in.error() != QFileDevice::NoError ? in.errorString() : out.errorString());
        out.close();
        removeWithCompanions(work);
        return QString();
    }
    out.close();
    return work;
}

// A destination in the log mode only takes pages of its own size: bring the working copy to it.
bool matchPageSize(Handle& work, Handle& target, QString* error)
{
    QString want;
    QString have;
    if (!target.scalar("PRAGMA page_size", &want, error) || !work.scalar("PRAGMA page_size", &have, error))
        return false;
    if (want == have)
        return true;
    const QByteArray size = want.toLatin1();
    return work.exec("PRAGMA journal_mode=DELETE", error) &&
           work.exec(QByteArray("PRAGMA page_size=" + size).constData(), error) && work.exec("VACUUM", error);
}

// Whether the shop's own file is beyond SQLite's reading (its first page damaged, or no database
// at all): its data cannot be copied page by page, nor can pages be written into it.
bool unreadable(const QString& database)
{
    Handle h;
    QString err;
    QString value;
    if (!h.open(database, SQLITE_OPEN_READWRITE, &err, true))
        return false;
    if (h.scalar("select count(*) from sqlite_master", &value, &err))
        return false;
    return h.lastCode() == SQLITE_NOTADB || h.lastCode() == SQLITE_CORRUPT;
}

// For a shop file SQLite cannot read: the file (with its log, if any) kept byte for byte, then the
// checked working copy put in its place. The program's connections are closed at this point.
bool replaceUnreadable(const QString& work, const QString& database, const QString& keep, QString* error)
{
    if (!QFile::copy(database, keep)) {
        *error = QStringLiteral("无法保存恢复前的数据：不能建立文件 %1").arg(native(keep));
        return false;
    }
    const QString log = database + QStringLiteral("-wal");
    if (QFileInfo::exists(log) && !QFile::copy(log, keep + QStringLiteral("-wal"))) {
        QFile::remove(keep);
        *error = QStringLiteral("无法保存恢复前的数据：不能建立文件 %1-wal").arg(native(keep));
        return false;
    }
    {
        // The working copy stands alone before it takes the shop's name.
        Handle h;
        if (!h.open(work, SQLITE_OPEN_READWRITE, error) || !h.exec("PRAGMA journal_mode=DELETE", error))
            return false;
    }
    QFile::remove(log);
    QFile::remove(database + QStringLiteral("-shm"));
    if (std::rename(QFile::encodeName(work).constData(), QFile::encodeName(database).constData()) != 0) {
        *error = QStringLiteral("无法替换数据库文件 %1：%2")
                     .arg(native(database), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace

void setPagesPerStep(int pages)
{
    g_pagesPerStep = pages > 0 ? pages : -1;
}

QString proposedName(const QDate& day)
{
    return QStringLiteral("pos") + day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString safetyFile(const QString& folder, const QString& label, const QDateTime& when)
{
    const QString base =
        QStringLiteral("%1/pos-%2-%3").arg(folder, label, when.toString(QStringLiteral("yyyy-MM-dd-hhmmss")));
    QString name = base + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QStringLiteral("%1-%2.bak").arg(base).arg(n);
    return name;
}

bool backup(const QString& source, const QString& target, const Progress& progress, QString* error)
{
    QString err;
    const QFileInfo info(target);
    if (target.isEmpty()) {
        err = QStringLiteral("没有给出备份文件名");
    } else if (info.exists() || info.isSymLink()) {
        err = QStringLiteral("文件 %1 已经存在").arg(native(target));
    } else if (!info.absoluteDir().exists()) {
        err = QStringLiteral("文件夹 %1 不存在").arg(native(info.absolutePath()));
    }
    if (!err.isEmpty()) {
        if (error)
            *error = err;
        return false;
    }
    report(progress, 0);
    // Written under a working name and renamed at the end: the target's name never stands for a
    // half-written copy, and the rename refuses a file that appeared meanwhile.
    const QString work = reserveWorkingFile(info.absolutePath(), QStringLiteral(".pos-backup-XXXXXX"), &err);
    bool ok = !work.isEmpty() && snapshot(source, work, progress, 0, 100, &err);
    if (ok && !QFile::rename(work, info.absoluteFilePath())) {
        err = QFileInfo::exists(target) ? QStringLiteral("文件 %1 已经存在").arg(native(target))
                                        : QStringLiteral("无法建立文件 %1").arg(native(target));
        ok = false;
    }
    if (!work.isEmpty())
        removeWithCompanions(work);
    if (!ok && error)
        *error = err;
    return ok;
}

bool check(const QString& file, QString* reason)
{
    QString err;
    const QString work = workingCopy(file, QDir::tempPath(), &err);
    const bool ok = !work.isEmpty() && checkAndMigrate(work, &err);
    if (!work.isEmpty())
        removeWithCompanions(work);
    if (!ok && reason)
        *reason = err;
    return ok;
}

RestoreResult restore(const QString& file, const QString& database, const QString& keepCurrentAs,
                      const Progress& progress)
{
    RestoreResult result;
    const QFileInfo target(database);
    const QFileInfo source(file);
    if (source.exists() && target.exists() && source.canonicalFilePath() == target.canonicalFilePath()) {
        result.reason = QStringLiteral("不能用数据库文件本身恢复");
        return result;
    }
    report(progress, 0);
    // 1. Checked and migrated on a working copy beside the shop, so that the final step is a
    //    copy within one disk.
    const QString work = workingCopy(file, target.absolutePath(), &result.reason);
    if (work.isEmpty())
        return result;
    struct Cleanup {
        QString file;
        ~Cleanup() { removeWithCompanions(file); }
    } cleanup{work};
    report(progress, 10);
    if (!checkAndMigrate(work, &result.reason))
        return result;
    report(progress, 20);

    // 2. The data of now, kept as a backup beside the shop (none when there is no shop yet).
    const bool haveShop = target.exists();
    bool damaged = false;
    if (haveShop) {
        QString err;
        if (!backup(
                database, keepCurrentAs, [&](int p) { report(progress, 20 + p * 35 / 100); }, &err)) {
            // A shop file that SQLite cannot read at all is what a restore is for: it is kept
            // as it is, byte for byte, below.
            damaged = unreadable(database);
            if (!damaged) {
                result.reason = QStringLiteral("无法保存恢复前的数据：%1").arg(err);
                return result;
            }
        }
        result.keptAs = keepCurrentAs;
    }
    report(progress, 55);

    // 3. Every connection of the program to the shop closed; the backup's pages written into the
    //    shop in one transaction; the connections opened again.
    ConnectionSuspension suspension(database);
    if (damaged) {
        if (!replaceUnreadable(work, database, keepCurrentAs, &result.reason)) {
            result.keptAs.clear();
            return result;
        }
    } else {
        Handle from;
        Handle to;
        QString err;
        const int toFlags = SQLITE_OPEN_READWRITE | (haveShop ? 0 : SQLITE_OPEN_CREATE);
        bool ok = from.open(work, SQLITE_OPEN_READWRITE, &err) && to.open(database, toFlags, &err, true);
        if (ok && !haveShop)
            ok = to.exec("PRAGMA journal_mode=WAL", &err);
        ok = ok && matchPageSize(from, to, &err) && copyPages(from, to, progress, 55, 98, &err);
        if (!ok) {
            result.reason = QStringLiteral("写入数据库失败：%1").arg(err);
            return result;
        }
        // Fold the restored pages into the file itself; the log stays empty behind them.
        QString ignored;
        to.exec("PRAGMA wal_checkpoint(TRUNCATE)", &ignored);
    }
    QString err;
    if (!suspension.reopen(&err)) {
        result.reopenFailed = true;
        result.reason = err;
    }
    result.ok = true;
    report(progress, 100);
    return result;
}

} // namespace DatabaseBackup
