#include "schema/DatabaseCheck.h"

#include "core/DbConnection.h"
#include "core/DbErrorText.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DatabaseCheck {

namespace {

// A read-only connection of its own, closed on every way out.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& file)
    {
        m_rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~ReadOnlyFile() { sqlite3_close(m_db); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool isOpen() const { return m_rc == SQLITE_OK; }
    QString error() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory"); }

    // The first column of every row; false with error() on failure.
    bool column(const char* sql, QStringList* out)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK)
            return false;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            *out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_ERROR;
};

// Written to by the till: the file itself, and its folder for the journal files beside it.
// A file whose write permissions were all taken away counts as read-only even for a user the
// system would let write it anyway: someone meant it not to change.
bool writable(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(name.constData(), W_OK) == 0;
}

} // namespace

QString problem(const QString& file)
{
    const QString basic = DbConnection::fileProblem(file);
    if (!basic.isEmpty())
        return basic;
    const QString native = QDir::toNativeSeparators(file);

    ReadOnlyFile db(file);
    if (!db.isOpen())
        return QStringLiteral("无法打开数据库文件 %1：\n%2").arg(native, DbErrorText::forPerson(db.error()));
    QStringList version;
    if (!db.column("pragma user_version", &version) || version.isEmpty())
        return QStringLiteral("无法读取数据库文件 %1：\n%2").arg(native, DbErrorText::forPerson(db.error()));
    const int v = version.constFirst().toInt();
    if (v > Schema::currentVersion()) {
        return QStringLiteral("数据库文件 %1 来自更新版本的程序（数据库版本 %2，本程序只认识到版本 %3），"
                              "请使用新版本的程序")
            .arg(native)
            .arg(v)
            .arg(Schema::currentVersion());
    }
    QStringList tableList;
    if (!db.column("select lower(name) from sqlite_master where type='table'", &tableList))
        return QStringLiteral("无法读取数据库文件 %1：\n%2").arg(native, DbErrorText::forPerson(db.error()));
    const QSet<QString> tables(tableList.cbegin(), tableList.cend());
    bool anyOfOurs = false;
    for (const Schema::Table& t : Schema::tables())
        anyOfOurs = anyOfOurs || tables.contains(t.name.toLower());
    if (v < 1 || !anyOfOurs)
        return QStringLiteral("数据库文件 %1 不是本系统的数据库").arg(native);
    for (const Schema::Table& t : Schema::tables()) {
        if (!tables.contains(t.name.toLower()))
            return QStringLiteral("数据库文件 %1 缺少数据表 %2，不能使用").arg(native, t.name);
        QStringList columnList;
        const QByteArray sql = "select lower(name) from pragma_table_info('" + t.name.toLatin1() + "')";
        if (!db.column(sql.constData(), &columnList))
            return QStringLiteral("无法读取数据库文件 %1：\n%2").arg(native, DbErrorText::forPerson(db.error()));
        const QSet<QString> columns(columnList.cbegin(), columnList.cend());
        for (const Schema::Column& c : t.columns) {
            if (!columns.contains(c.name.toLower()))
                return QStringLiteral("数据库文件 %1 的数据表 %2 缺少字段 %3，不能使用").arg(native, t.name, c.name);
        }
    }
    if (!writable(file))
        return QStringLiteral("数据库文件 %1 是只读的，收银程序不能在上面保存，请取消它的只读属性").arg(native);
    const QString folder = QFileInfo(file).absolutePath();
    if (!writable(folder)) {
        return QStringLiteral("数据库文件 %1 所在的文件夹 %2 是只读的，收银程序不能在那里保存")
            .arg(native, QDir::toNativeSeparators(folder));
    }
    return QString();
}

} // namespace DatabaseCheck
