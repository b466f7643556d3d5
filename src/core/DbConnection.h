#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

// One screen's own connection to pos.mdb. Every screen opens one when it is created and
// closes it when it closes; several connections of the process share the file at once.
// Statements are prepared once per connection and kept, keyed by their text, so a scan at the
// till does not compile the same few statements again and again.
class DbConnection {
public:
    // Sees every statement the connection runs: its text as the engine gets it (positional "?"
    // placeholders) and the values bound to it, in order. The benchmark replays them.
    using StatementObserver = std::function<void(const QString& sql, const QVariantList& values)>;

    // The database file in the program folder.
    DbConnection();
    // Another file (set-up, backup checks, tests).
    explicit DbConnection(const QString& file);
    ~DbConnection();

    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    // Opens an existing file; a missing file is refused rather than created empty, and so are
    // an empty file and one that is not an SQLite database, before the engine writes a byte.
    bool open();
    // Opens the file and creates it when missing (the set-up program only).
    bool openOrCreate();
    void close();
    bool isOpen() const;

    QString file() const { return m_file; }
    // The person's message: what happened, that nothing was saved, and the engine's own text
    // on a second line (see DbErrorText).
    QString lastError() const { return m_error; }
    // The engine's text of the last error, untranslated.
    QString engineError() const { return m_engineError; }
    QSqlDatabase& database() { return m_db; }

    // Why a file cannot be a database to open: missing, not a file, empty, unreadable, or not
    // SQLite at all. Empty when it may be opened. Reads at most the file's first 16 bytes.
    static QString fileProblem(const QString& file);

    // Whether a commit waits until it is safely on the disk (synchronous=FULL, the default).
    // Work that builds a new shop from nothing and throws the file away when it fails may
    // switch this off for the connections it opens meanwhile, and makes the file safe once at
    // the end (a checkpoint on a connection opened with it switched on again).
    static void setCommitsWaitForDisk(bool wait);
    static bool commitsWaitForDisk();

    void setStatementObserver(StatementObserver observer) { m_observer = std::move(observer); }
    // How many statements are prepared and kept on this connection.
    int preparedCount() const { return int(m_prepared.size()); }

    // Runs body atomically: BEGIN IMMEDIATE, then COMMIT when body returns true, ROLLBACK
    // when it returns false (its error is then whatever it set) or when COMMIT fails.
    // Nested calls join the outer transaction. Returns whether the work was committed.
    bool transaction(const std::function<bool()>& body);
    bool inTransaction() const { return m_txDepth > 0; }

    // Runs one statement without parameters (pragmas, schema); the error goes to lastError().
    bool exec(const QString& sql);

    // Sets the error text; an engine text is turned into the person's message.
    void setError(const QString& error);

private:
    friend class Query;
    struct Prepared;

    bool openWith(bool create);
    // The statement prepared for this text, prepared now when it is new; null on failure
    // (lastError() says why).
    Prepared* prepared(const QString& sql);

    QString m_file;
    QString m_name;
    QSqlDatabase m_db;
    QString m_error;
    QString m_engineError;
    int m_txDepth = 0;
    bool m_txFailed = false;
    QHash<QString, std::shared_ptr<Prepared>> m_prepared;
    StatementObserver m_observer;
};

// The statement pattern every screen uses: close, clear, add the lines, bind each named
// parameter by name (without regard to case), then open (select) or execute.
// A select reads all its rows at once, so it knows its record count and can move
// first / next / last; the statement's read cursor is released straight away.
class Query {
public:
    explicit Query(DbConnection& db);

    void close();
    void clear();
    // Adds one line of the statement text.
    void add(const QString& line);
    // clear() + add(): a statement of one line.
    void setSql(const QString& sql);
    QString sql() const;

    // Binds ":NAME" through "NAME" (or ":name"); case does not matter.
    // Texts from fields are bound as QString, computed amounts as double.
    void bind(const QString& name, const QVariant& value);

    bool open();
    bool execute();
    bool isOpen() const { return m_open; }
    // The person's message for the last failure (see DbConnection::lastError()).
    QString lastError() const { return m_error; }
    QString engineError() const { return m_engineError; }
    int rowsAffected() const { return m_rowsAffected; }
    QVariant lastInsertId() const { return m_lastInsertId; }

    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    bool first();
    bool next();
    bool prior();
    bool last();
    bool eof() const { return m_pos >= m_rows.size() || m_rows.isEmpty(); }
    int position() const { return m_pos; }
    bool setPosition(int row);

    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& column) const;
    bool hasColumn(const QString& column) const { return columnIndex(column) >= 0; }

    // Fields of the current row by column name (case does not matter). With no current row,
    // or an unknown column, the value is empty.
    QVariant value(const QString& column) const;
    // An empty value reads as "", a number as its shortest decimal text.
    QString text(const QString& column) const;
    // An empty value (or text that is not a number) reads as 0.
    double number(const QString& column) const;
    int integer(const QString& column) const;

    // Any row, for grids.
    QVariant value(int row, const QString& column) const;
    QString text(int row, const QString& column) const;
    double number(int row, const QString& column) const;
    const QVector<QVector<QVariant>>& rows() const { return m_rows; }

    // Conversions used by every reader of database values.
    static QString variantText(const QVariant& v);
    static double variantNumber(const QVariant& v);

private:
    bool run(bool select);

    DbConnection& m_conn;
    QStringList m_lines;
    QHash<QString, QVariant> m_params; // upper-case name -> value
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    int m_pos = 0;
    bool m_open = false;
    QString m_error;
    QString m_engineError;
    int m_rowsAffected = 0;
    QVariant m_lastInsertId;
};

namespace SqlDialect {

struct Translated {
    QString sql;            // positional "?" placeholders, mid() as substr()
    QStringList paramNames; // upper-case, in order of appearance
};

// Turns a statement in the program's dialect into SQLite's: named parameters become
// positional ones and mid(text,start,length) becomes substr (also 1-based). String
// literals, quoted names and comments are left alone.
Translated translate(const QString& sql);

} // namespace SqlDialect
