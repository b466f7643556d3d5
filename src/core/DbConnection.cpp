#include "core/DbConnection.h"

#include "core/ConnectionRegistry.h"
#include "core/DbErrorText.h"
#include "core/ProgramFolder.h"
#include "core/TextUtil.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("pos-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

QString engineText(const QSqlError& e)
{
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.driverText();
    if (text.isEmpty())
        text = e.text();
    return text.trimmed();
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Statements kept per connection. The program runs a few dozen distinct texts; a connection
// that somehow makes more (texts built from values) starts its cache afresh past this many.
constexpr int kMaxPrepared = 256;

std::atomic<bool> g_commitsWaitForDisk{true};

} // namespace

void DbConnection::setCommitsWaitForDisk(bool wait)
{
    g_commitsWaitForDisk = wait;
}

bool DbConnection::commitsWaitForDisk()
{
    return g_commitsWaitForDisk;
}

// One statement prepared on the connection, with its translation from the program's dialect.
struct DbConnection::Prepared {
    SqlDialect::Translated translated;
    QSqlQuery query;
};

// ---------------------------------------------------------------------------------------------
// DbConnection

DbConnection::DbConnection()
    : DbConnection(ProgramFolder::databaseFile())
{
}

DbConnection::DbConnection(const QString& file)
    : m_file(file)
    , m_name(nextConnectionName())
{
}

DbConnection::~DbConnection()
{
    close();
    ConnectionRegistry::destroyed(this); // restore: a suspended connection is dropped
}

bool DbConnection::open()
{
    return openWith(false);
}

bool DbConnection::openOrCreate()
{
    return openWith(true);
}

QString DbConnection::fileProblem(const QString& file)
{
    const QString native = QDir::toNativeSeparators(file);
    const QFileInfo info(file);
    if (!info.exists())
        return QStringLiteral("找不到数据库文件 %1").arg(native);
    if (!info.isFile())
        return QStringLiteral("%1 不是文件，不是本系统的数据库").arg(native);
    if (info.size() == 0)
        return QStringLiteral("数据库文件 %1 是空的（0 字节），不是本系统的数据库").arg(native);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取数据库文件 %1：%2").arg(native, f.errorString());
    // Every SQLite database starts with these 16 bytes.
    static const QByteArray magic("SQLite format 3\0", 16);
    if (f.read(16) != magic)
        return QStringLiteral("文件 %1 不是 SQLite 数据库，不是本系统的数据库").arg(native);
    return QString();
}

bool DbConnection::openWith(bool create)
{
    if (isOpen())
        return true;
    m_error.clear();
    m_engineError.clear();
    // The engine would turn an empty file into a new database and write its journal setting
    // into a foreign file's header: such a file is refused untouched.
    // Only while no other connection of the process has the file open: closing any other handle
    // on a database file drops the locks SQLite holds on it, and another program could then take
    // the till's write-ahead log away. A file open already has passed this look.
    if ((!create || QFileInfo::exists(m_file)) && !ConnectionRegistry::isOpenInProcess(m_file)) {
        const QString problem = fileProblem(m_file);
        if (!problem.isEmpty()) {
            m_error = problem;
            return false;
        }
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(m_file);
    // A busy timeout lets a statement wait for another connection's write instead of failing.
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        m_engineError = engineText(m_db.lastError());
        m_error = QStringLiteral("无法打开数据库 %1：%2")
                      .arg(QDir::toNativeSeparators(m_file), DbErrorText::forPerson(m_engineError));
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        return false;
    }
    // WAL keeps readers and the one writer out of each other's way; FULL makes a committed
    // sale survive a power cut.
    const char* pragmas[] = {"PRAGMA journal_mode=WAL",
                             g_commitsWaitForDisk ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF",
                             "PRAGMA foreign_keys=OFF"};
    for (const char* p : pragmas) {
        if (!exec(QString::fromLatin1(p))) {
            const QString err = m_error;
            close();
            m_error = err;
            return false;
        }
    }
    // A file that is not a database shows up on the first read.
    if (!exec(QStringLiteral("select count(*) from sqlite_master"))) {
        const QString err = m_error;
        close();
        m_error = err;
        return false;
    }
    ConnectionRegistry::opened(this); // restore closes and reopens every open connection
    return true;
}

void DbConnection::close()
{
    ConnectionRegistry::closed(this);
    if (!m_db.isValid())
        return;
    if (m_txDepth > 0) {
        exec(QStringLiteral("ROLLBACK"));
        m_txDepth = 0;
    }
    // The prepared statements belong to the connection and go before it.
    m_prepared.clear();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool DbConnection::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

void DbConnection::setError(const QString& error)
{
    m_engineError = error;
    m_error = DbErrorText::forPerson(error);
}

DbConnection::Prepared* DbConnection::prepared(const QString& sql)
{
    if (!isOpen()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("数据库没有打开");
        return nullptr;
    }
    if (const auto it = m_prepared.constFind(sql); it != m_prepared.cend())
        return it->get();
    if (m_prepared.size() >= kMaxPrepared)
        m_prepared.clear();
    auto p = std::make_shared<Prepared>();
    p->translated = SqlDialect::translate(sql);
    p->query = QSqlQuery(m_db);
    p->query.setForwardOnly(true);
    if (!p->query.prepare(p->translated.sql)) {
        setError(engineText(p->query.lastError()));
        return nullptr;
    }
    Prepared* raw = p.get();
    m_prepared.insert(sql, std::move(p));
    return raw;
}

bool DbConnection::exec(const QString& sql)
{
    Prepared* p = prepared(sql);
    if (!p)
        return false;
    if (m_observer)
        m_observer(p->translated.sql, {});
    QSqlQuery& q = p->query;
    const bool ok = q.exec();
    if (!ok)
        setError(engineText(q.lastError()));
    q.finish();
    return ok;
}

bool DbConnection::transaction(const std::function<bool()>& body)
{
    if (m_txDepth > 0) {
        // Joined to the outer transaction: its failure fails the whole.
        ++m_txDepth;
        const bool ok = body();
        --m_txDepth;
        if (!ok)
            m_txFailed = true;
        return ok;
    }
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    m_txDepth = 1;
    m_txFailed = false;
    bool ok = body() && !m_txFailed;
    m_txDepth = 0;
    if (ok) {
        if (!exec(QStringLiteral("COMMIT"))) {
            const QString err = m_error;
            const QString engine = m_engineError;
            exec(QStringLiteral("ROLLBACK"));
            m_error = err;
            m_engineError = engine;
            ok = false;
        }
    } else {
        const QString err = m_error;
        const QString engine = m_engineError;
        exec(QStringLiteral("ROLLBACK"));
        m_error = err;
        m_engineError = engine;
    }
    m_txFailed = false;
    return ok;
}

// ---------------------------------------------------------------------------------------------
// SqlDialect

SqlDialect::Translated SqlDialect::translate(const QString& sql)
{
    Translated out;
    out.sql.reserve(sql.size());
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        // String literals and quoted names are copied as they stand.
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            while (j < n) {
                if (sql[j] == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && sql[j + 1] == close) {
                        j += 2; // doubled quote inside the literal
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const int end = std::min(j + 1, n);
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = int(sql.indexOf(QLatin1Char('\n'), i));
            if (j < 0)
                j = n;
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int j = int(sql.indexOf(QStringLiteral("*/"), i + 2));
            j = j < 0 ? n : j + 2;
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isIdentChar(sql[j]))
                ++j;
            out.paramNames << sql.mid(i + 1, j - i - 1).toUpper();
            out.sql += QLatin1Char('?');
            i = j;
            continue;
        }
        if (isIdentStart(c)) {
            int j = i;
            while (j < n && isIdentChar(sql[j]))
                ++j;
            const QStringView word = QStringView(sql).mid(i, j - i);
            const bool qualified = i > 0 && sql[i - 1] == QLatin1Char('.');
            int k = j;
            while (k < n && sql[k].isSpace())
                ++k;
            if (!qualified && k < n && sql[k] == QLatin1Char('(') && word.compare(u"mid", Qt::CaseInsensitive) == 0)
                out.sql += QStringLiteral("substr");
            else
                out.sql += word;
            i = j;
            continue;
        }
        out.sql += c;
        ++i;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Query

Query::Query(DbConnection& db)
    : m_conn(db)
{
}

void Query::close()
{
    m_open = false;
    m_columns.clear();
    m_rows.clear();
    m_pos = 0;
}

void Query::clear()
{
    m_lines.clear();
    m_params.clear();
}

void Query::add(const QString& line)
{
    m_lines << line;
}

void Query::setSql(const QString& sql)
{
    close();
    clear();
    add(sql);
}

QString Query::sql() const
{
    return m_lines.join(QLatin1Char('\n'));
}

void Query::bind(const QString& name, const QVariant& value)
{
    QString key = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    m_params.insert(key.toUpper(), value);
}

bool Query::open()
{
    return run(true);
}

bool Query::execute()
{
    return run(false);
}

bool Query::run(bool select)
{
    close();
    m_error.clear();
    m_engineError.clear();
    m_rowsAffected = 0;
    m_lastInsertId = QVariant();
    const auto fail = [this](const QString& engine) {
        m_engineError = engine;
        m_error = DbErrorText::forPerson(engine);
        m_conn.setError(engine);
        m_columns.clear();
        m_rows.clear();
        return false;
    };
    if (!m_conn.isOpen()) {
        m_error = m_conn.lastError().isEmpty() ? QStringLiteral("数据库没有打开") : m_conn.lastError();
        m_engineError = m_error;
        m_conn.m_error = m_error;
        return false;
    }
    DbConnection::Prepared* p = m_conn.prepared(sql());
    if (!p) {
        m_error = m_conn.lastError();
        m_engineError = m_conn.engineError();
        return false;
    }
    const QStringList& names = p->translated.paramNames;
    QVariantList values;
    values.reserve(names.size());
    for (const QString& name : names) {
        const auto it = m_params.constFind(name);
        if (it == m_params.cend())
            return fail(QStringLiteral("参数 %1 没有赋值").arg(name));
        values << *it;
    }
    QSqlQuery& q = p->query;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (m_conn.m_observer)
        m_conn.m_observer(p->translated.sql, values);
    if (!q.exec()) {
        const QString engine = engineText(q.lastError());
        q.finish();
        return fail(engine);
    }
    if (q.isSelect()) {
        const QSqlRecord rec = q.record();
        const int cols = rec.count();
        m_columns.reserve(cols);
        for (int c = 0; c < cols; ++c)
            m_columns << rec.fieldName(c);
        while (q.next()) {
            QVector<QVariant> row(cols);
            for (int c = 0; c < cols; ++c)
                row[c] = q.value(c);
            m_rows.push_back(std::move(row));
        }
        if (q.lastError().isValid()) {
            const QString engine = engineText(q.lastError());
            q.finish();
            return fail(engine);
        }
        m_open = true;
    } else {
        m_rowsAffected = q.numRowsAffected();
        m_lastInsertId = q.lastInsertId();
        if (select) {
            // A select that returned no result set: treat it as an empty open query.
            m_open = true;
        }
    }
    // The statement stays prepared for the next run; its read cursor is released now.
    q.finish();
    m_pos = 0;
    return true;
}

bool Query::first()
{
    m_pos = 0;
    return !m_rows.isEmpty();
}

bool Query::next()
{
    if (m_pos < m_rows.size())
        ++m_pos;
    return m_pos < m_rows.size();
}

bool Query::prior()
{
    if (m_pos > 0) {
        --m_pos;
        return true;
    }
    return false;
}

bool Query::last()
{
    m_pos = m_rows.isEmpty() ? 0 : int(m_rows.size()) - 1;
    return !m_rows.isEmpty();
}

bool Query::setPosition(int row)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    m_pos = row;
    return true;
}

int Query::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Query::value(const QString& column) const
{
    return value(m_pos, column);
}

QString Query::text(const QString& column) const
{
    return variantText(value(column));
}

double Query::number(const QString& column) const
{
    return variantNumber(value(column));
}

int Query::integer(const QString& column) const
{
    return int(number(column));
}

QVariant Query::value(int row, const QString& column) const
{
    const int c = columnIndex(column);
    if (c < 0 || row < 0 || row >= m_rows.size())
        return QVariant();
    return m_rows[row][c];
}

QString Query::text(int row, const QString& column) const
{
    return variantText(value(row, column));
}

double Query::number(int row, const QString& column) const
{
    return variantNumber(value(row, column));
}

QString Query::variantText(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return TextUtil::shortestNumber(v.toDouble());
    default:
        return v.toString();
    }
}

double Query::variantNumber(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return 0.0;
    switch (v.typeId()) {
    case QMetaType::QString: {
        double d = 0;
        return TextUtil::toNumber(v.toString(), &d) ? d : 0.0;
    }
    default:
        return v.toDouble();
    }
}
