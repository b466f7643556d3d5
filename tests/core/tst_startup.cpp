#include "core/DbConnection.h"
#include "core/ShopLock.h"
#include "schema/DatabaseCheck.h"
#include "schema/Schema.h"
#include "schema/Setup.h"
#include "support/TestShop.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The till's start: one program per shop, and a database looked at before it is changed.
// These start the built program itself, on the offscreen platform, as a cashier would.
class StartupTest : public QObject {
    Q_OBJECT

    static QString program() { return QStringLiteral(POS_PROGRAM_DIR "/pos"); }

    // The till on a shop folder, on a platform without windows.
    static void start(QProcess& p, const QString& folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("POS_HOME"), folder);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("POS_RECEIPT_DEVICE"), QDir(folder).filePath(QStringLiteral("LPT1")));
        p.setProcessEnvironment(env);
        p.start(program(), {});
    }

    // Waits until `condition` holds, up to `ms`.
    static bool waitFor(const std::function<bool()>& condition, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > ms)
                return false;
            QTest::qWait(50);
        }
        return true;
    }

    // The process that holds the shop's lock file, 0 for none.
    static qint64 lockHolder(const QString& folder)
    {
        QLockFile probe(QDir(folder).filePath(ShopLock::lockFileName()));
        qint64 pid = 0;
        QString host;
        QString app;
        return probe.getLockInfo(&pid, &host, &app) ? pid : 0;
    }

    // What the till wrote on its error output, without Qt's own notes.
    static QString said(QProcess& p)
    {
        QStringList lines;
        for (const QString& line : QString::fromLocal8Bit(p.readAllStandardError()).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1String("QStandardPaths")))
                lines << line;
        }
        return lines.join(QLatin1Char(' ')).simplified();
    }

    static QByteArray checksum(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
    }

    static bool writeFile(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    // A shop database made by pos-setup, then changed by `change` (on a connection closed again).
    static bool ourDatabase(const QString& file, const QStringList& change)
    {
        QString error;
        if (!Setup::createDatabase(file, {}, &error))
            return false;
        DbConnection db(file);
        if (!db.open())
            return false;
        for (const QString& sql : change) {
            if (!db.exec(sql))
                return false;
        }
        return true;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QFile::exists(program()), "the till is built beside the tests"); }

    // Each bad file is refused at start with a message naming it and the problem, and its
    // bytes stay exactly as they were.
    void badFileRefusedUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("找不到数据库文件");
        QTest::newRow("empty") << QStringLiteral("empty") << QStringLiteral("是空的（0 字节）");
        QTest::newRow("not SQLite") << QStringLiteral("text") << QStringLiteral("不是 SQLite 数据库");
        QTest::newRow("foreign SQLite") << QStringLiteral("foreign") << QStringLiteral("不是本系统的数据库");
        QTest::newRow("newer program") << QStringLiteral("newer") << QStringLiteral("来自更新版本的程序");
        QTest::newRow("missing table") << QStringLiteral("table") << QStringLiteral("缺少数据表 xjls");
        QTest::newRow("missing column") << QStringLiteral("column")
                                        << QStringLiteral("的数据表 spinfo 缺少字段 tiaoma");
        QTest::newRow("read-only file") << QStringLiteral("readonly") << QStringLiteral("是只读的");
        QTest::newRow("read-only folder") << QStringLiteral("readonlyfolder") << QStringLiteral("只读");
    }
    void badFileRefusedUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pos.mdb"));
        if (kind == QLatin1String("empty")) {
            QVERIFY(writeFile(file, {}));
        } else if (kind == QLatin1String("text")) {
            QVERIFY(writeFile(file, "收银数据\r\n"));
        } else if (kind == QLatin1String("foreign")) {
            DbConnection db(file);
            QVERIFY(db.openOrCreate());
            QVERIFY(db.exec(QStringLiteral("create table photos(name text, taken text)")));
            QVERIFY(db.exec(QStringLiteral("pragma journal_mode=delete")));
        } else if (kind == QLatin1String("newer")) {
            QVERIFY(ourDatabase(file, {QStringLiteral("pragma user_version = %1").arg(Schema::currentVersion() + 1)}));
        } else if (kind == QLatin1String("table")) {
            QVERIFY(ourDatabase(file, {QStringLiteral("drop table xjls")}));
        } else if (kind == QLatin1String("column")) {
            QVERIFY(ourDatabase(file, {QStringLiteral("drop index ix_spinfo_tiaoma"),
                                       QStringLiteral("drop index ix_spinfo_tiaoma_nocase"),
                                       QStringLiteral("alter table spinfo drop column tiaoma")}));
        } else if (kind != QLatin1String("missing")) {
            QVERIFY(ourDatabase(file, {}));
        }
        if (kind == QLatin1String("readonly"))
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QFile::Permissions folderPermissions = QFile::permissions(dir.path());
        if (kind == QLatin1String("readonlyfolder")) {
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        }
        const QByteArray before = checksum(file);

        const QString reason = DatabaseCheck::problem(file);
        QVERIFY2(reason.contains(problem), qPrintable(reason));
        QVERIFY2(reason.contains(QDir::toNativeSeparators(file)), qPrintable(reason));

        QProcess till;
        start(till, dir.path());
        QVERIFY(till.waitForFinished(30000));
        const QString text = said(till);
        QCOMPARE(till.exitStatus(), QProcess::NormalExit);
        QCOMPARE(till.exitCode(), 1);
        QVERIFY2(text.contains(problem), qPrintable(text));

        const QByteArray after = checksum(file);
        QCOMPARE(after, before);
        if (kind == QLatin1String("missing"))
            QVERIFY(!QFile::exists(file));
        QFile::setPermissions(dir.path(), folderPermissions);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        qInfo("%s: sha256 %s before and after; the till said: %s", qPrintable(kind),
              before.isEmpty() ? "(no file)" : before.left(16).constData(), qPrintable(text));
    }

    // A good file passes the look, and an older one is upgraded at start.
    void goodFileOpens()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pos.mdb"));
        QVERIFY(ourDatabase(
            file, {QStringLiteral("drop index ix_spinfo_spbh_nocase"), QStringLiteral("pragma user_version = 1")}));
        QCOMPARE(DatabaseCheck::problem(file), QString());
        QProcess till;
        start(till, dir.path());
        QVERIFY(waitFor([&] { return lockHolder(dir.path()) == till.processId(); }, 20000));
        DbConnection db(file);
        QVERIFY(db.open());
        QVERIFY(waitFor([&] { return Schema::fileVersion(db) == Schema::currentVersion(); }, 20000));
        QCOMPARE(till.state(), QProcess::Running);
        till.kill();
        QVERIFY(till.waitForFinished(10000));
    }

    // Two tills on one shop: the second is refused while the first runs, and a benchmark (any
    // program taking the shop's lock) is too; reading and copying the database still work.
    // A till that was killed leaves its lock behind, and the next till takes it over.
    void oneTillPerShop()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        shop.db().close();

        QProcess first;
        start(first, shop.folder());
        QVERIFY(first.waitForStarted());
        QVERIFY2(waitFor([&] { return lockHolder(shop.folder()) == first.processId(); }, 20000),
                 qPrintable(QString::fromLocal8Bit(first.readAllStandardError())));

        QProcess second;
        start(second, shop.folder());
        QVERIFY(second.waitForFinished(30000));
        const QString text = said(second);
        QCOMPARE(second.exitCode(), 1);
        QVERIFY2(text.contains(ShopLock::alreadyRunningText()), qPrintable(text));
        QCOMPARE(first.state(), QProcess::Running);
        qInfo("second till on the shop: exit code %d, said: %s", second.exitCode(), qPrintable(text));

        ShopLock bench(shop.folder());
        QVERIFY(!bench.acquire());
        QVERIFY(bench.error().startsWith(ShopLock::alreadyRunningText()));

        // A reading tool and a backup copy while the till runs.
        DbConnection reader(shop.file(QStringLiteral("pos.mdb")));
        QVERIFY(reader.open());
        Query q(reader);
        q.setSql(QStringLiteral("select count(*) as n from spinfo"));
        QVERIFY(q.open());
        QVERIFY(q.integer(QStringLiteral("n")) > 0);
        reader.close();
        const QString copy = shop.file(QStringLiteral("backup.bak"));
        QVERIFY(QFile::copy(shop.file(QStringLiteral("pos.mdb")), copy));
        QCOMPARE(DatabaseCheck::problem(copy), QString());

        // Killed: the lock file stays behind, held by no one.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(QFile::exists(shop.file(ShopLock::lockFileName())));
        QProcess third;
        start(third, shop.folder());
        QVERIFY(third.waitForStarted());
        QVERIFY2(waitFor([&] { return lockHolder(shop.folder()) == third.processId(); }, 20000),
                 qPrintable(QString::fromLocal8Bit(third.readAllStandardError())));
        QTest::qWait(500);
        QCOMPARE(third.state(), QProcess::Running);

        // While the till runs, the lock taken in this process is refused as well; once it has
        // ended, taken.
        third.kill();
        QVERIFY(third.waitForFinished(10000));
        QVERIFY(bench.acquire());
        QProcess fourth;
        start(fourth, shop.folder());
        QVERIFY(fourth.waitForFinished(30000));
        QCOMPARE(fourth.exitCode(), 1);
        QVERIFY(said(fourth).contains(ShopLock::alreadyRunningText()));
        bench.release();
        QVERIFY(!QFile::exists(shop.file(ShopLock::lockFileName())));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
