#include "admin/DatabaseBackup.h"
#include "admin/ShopBackup.h"
#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/ShopLock.h"
#include "schema/Schema.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sqlite3.h>

#include <atomic>
#include <cstdio>

// Backup and restore of the shop: a backup is a consistent snapshot even while sales are being
// posted, never written over another file; a restore takes only a sound backup of this
// program, keeps the data it replaces, and leaves nothing of the old data's log behind.
class BackupTest : public QObject {
    Q_OBJECT

    // Read by another process: closing a file of an open database in this one would drop the
    // locks SQLite holds on it.
    static QByteArray checksum(const QString& file)
    {
        if (!QFileInfo::exists(file))
            return QByteArray("absent");
        QProcess p;
        p.start(QStringLiteral("sha256sum"), {file});
        p.waitForFinished(60000);
        return p.readAllStandardOutput().left(64);
    }

    // A byte copy made by another process, for the same reason.
    static bool copyOutside(const QString& from, const QString& to)
    {
        return QProcess::execute(QStringLiteral("cp"), {from, to}) == 0;
    }

    // One number out of a database file, opened on its own.
    static QVariant scalarIn(const QString& file, const QString& sql)
    {
        DbConnection db(file);
        if (!db.open())
            return QVariant();
        Query q(db);
        q.setSql(sql);
        if (!q.open() || q.isEmpty())
            return QVariant();
        return q.value(q.columns().first());
    }

    static QString integrity(const QString& file)
    {
        return scalarIn(file, QStringLiteral("pragma integrity_check")).toString();
    }

    static bool writeFile(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }

    static QByteArray readFile(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Some bulk, so that a copy takes many steps.
    static bool addProducts(TestShop& shop, int count, const QString& prefix)
    {
        return shop.db().transaction([&] {
            for (int i = 0; i < count; ++i) {
                if (!shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,beizhu) values(:B,:M,:Z)"),
                               {{"B", QStringLiteral("%1%2").arg(prefix).arg(i)},
                                {"M", QStringLiteral("商品%1").arg(i)},
                                {"Z", QString(40, QChar(u'备'))}}))
                    return false;
            }
            return true;
        });
    }

    // The till's posting in miniature: a sale header and the cash box moved by its amount, one
    // transaction per sale, as fast as it goes.
    class Till : public QThread {
    public:
        explicit Till(const QString& file) : m_file(file) {}
        ~Till() override
        {
            stop = true;
            wait();
        }
        std::atomic<int> posted{0};
        std::atomic<bool> stop{false};
        QString error;

    protected:
        void run() override
        {
            DbConnection db(m_file);
            if (!db.open()) {
                error = db.lastError();
                return;
            }
            for (int n = 1; !stop; ++n) {
                const bool ok = db.transaction([&] {
                    Query q(db);
                    q.setSql(QStringLiteral("insert into xiaoshoud(djbh,hjje,rq) values(:DJBH,:HJJE,'2026-12-10')"));
                    q.bind(QStringLiteral("DJBH"), QStringLiteral("XS0120261210%1").arg(n, 4, 10, QLatin1Char('0')));
                    q.bind(QStringLiteral("HJJE"), 0.5 + n % 37);
                    if (!q.execute())
                        return false;
                    q.setSql(QStringLiteral("select je from boxje"));
                    if (!q.open())
                        return false;
                    const double box = q.number(QStringLiteral("je"));
                    q.setSql(QStringLiteral("update boxje set je=:JE"));
                    q.bind(QStringLiteral("JE"), box + 0.5 + n % 37);
                    return q.execute();
                });
                if (!ok) {
                    error = db.lastError();
                    return;
                }
                ++posted;
            }
        }

    private:
        QString m_file;
    };

private Q_SLOTS:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(15, 30, 0))); }
    void cleanup()
    {
        Clock::reset();
        DatabaseBackup::setPagesPerStep(256);
    }

    // What is still in the write-ahead log is in the backup (a byte copy of pos.mdb would miss
    // it), and the backup is a file of its own: no log beside it, not in the log mode.
    void backupIncludesTheLog()
    {
        TestShop shop;
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8801','张三')")));
        QVERIFY(QFileInfo(shop.file(QStringLiteral("pos.mdb-wal"))).size() > 0);
        const QString bytes = shop.file(QStringLiteral("bytes.bak"));
        QVERIFY(copyOutside(shop.file(QStringLiteral("pos.mdb")), bytes));
        QCOMPARE(scalarIn(bytes, QStringLiteral("select count(*) from hyinfo")).toInt(), 0);

        const QString target = shop.file(QStringLiteral("snap.bak"));
        QString error;
        QVERIFY2(DatabaseBackup::backup(shop.file(QStringLiteral("pos.mdb")), target, {}, &error), qPrintable(error));
        const QByteArray header = readFile(target).left(20);
        QCOMPARE(int(header.at(18)), 1); // rollback journal, not WAL
        QCOMPARE(int(header.at(19)), 1);
        QVERIFY(!QFileInfo::exists(target + QStringLiteral("-wal")));
        QCOMPARE(scalarIn(target, QStringLiteral("select hyxm from hyinfo")).toString(), QStringLiteral("张三"));
        QVERIFY(QDir(shop.folder()).entryList({QStringLiteral(".pos-*")}, QDir::Hidden | QDir::Files).isEmpty());
    }

    // Two backups on one day under the proposed name: the second fails and the first stays as it was.
    void secondBackupSameDayFails()
    {
        TestShop shop(true);
        ScriptedUi ui;
        const QString proposed = ShopBackup::proposedFile();
        QCOMPARE(proposed, shop.file(QStringLiteral("pos2026-12-10.bak")));
        ui.fileNames << proposed;
        QVERIFY(ShopBackup::backup(ui, {}));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("备份成功！")});
        QCOMPARE(ui.fileDialogTitles, QStringList{QStringLiteral("备份文件")});
        QCOMPARE(ui.fileDialogFilters, QStringList{QStringLiteral("Backup files (*.bak)")});
        const QByteArray first = checksum(proposed);

        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8801','张三')")));
        ui.clear();
        ui.fileNames << proposed;
        QVERIFY(!ShopBackup::backup(ui, {}));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].kind, QStringLiteral("error"));
        QCOMPARE(ui.shown[0].text, QStringLiteral("备份失败，请重试！\n文件 %1 已经存在").arg(proposed));
        QCOMPARE(checksum(proposed), first);
    }

    // ".bak" is added to a bare name, not to one that has it; a cancelled dialog does nothing.
    void backupNames()
    {
        TestShop shop;
        ScriptedUi ui;
        ui.fileNames << shop.file(QStringLiteral("a")) << shop.file(QStringLiteral("b.bak")) << QString();
        QVERIFY(ShopBackup::backup(ui, {}));
        QVERIFY(ShopBackup::backup(ui, {}));
        QVERIFY(!ShopBackup::backup(ui, {}));
        QVERIFY(QFileInfo::exists(shop.file(QStringLiteral("a.bak"))));
        QVERIFY(QFileInfo::exists(shop.file(QStringLiteral("b.bak"))));
        QVERIFY(!QFileInfo::exists(shop.file(QStringLiteral("b.bak.bak"))));
        QCOMPARE(ui.texts(), (QStringList{QStringLiteral("备份成功！"), QStringLiteral("备份成功！")}));
    }

    // The progress follows the pages copied: it only rises, moves many times and ends at 100.
    void progressFollowsTheCopy()
    {
        TestShop shop;
        QVERIFY(addProducts(shop, 2000, QStringLiteral("P")));
        DatabaseBackup::setPagesPerStep(8);
        QList<int> seen;
        QString error;
        QVERIFY(DatabaseBackup::backup(
            shop.file(QStringLiteral("pos.mdb")), shop.file(QStringLiteral("p.bak")), [&](int p) { seen << p; },
            &error));
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        QCOMPARE(seen.last(), 100);
        QVERIFY2(QSet<int>(seen.cbegin(), seen.cend()).size() > 10, qPrintable(QString::number(seen.size())));
    }

    // A backup taken while sales are posted is one moment of the shop: the cash box equals the sum
    // of the sales in it, also once restored, and sales went on being posted during the copy.
    void backupWhilePosting()
    {
        TestShop shop;
        QVERIFY(addProducts(shop, 3000, QStringLiteral("P")));
        const QString database = shop.file(QStringLiteral("pos.mdb"));
        DatabaseBackup::setPagesPerStep(4);
        Till till(database);
        till.start();
        QTemporaryDir restored;
        for (int round = 0; round < 3; ++round) {
            for (QElapsedTimer t; !t.isValid() || (till.posted < 5 * (round + 1) && t.elapsed() < 10000);) {
                if (!t.isValid())
                    t.start();
                QThread::msleep(2);
            }
            const QString target = shop.file(QStringLiteral("while-%1.bak").arg(round));
            int postedDuring = 0;
            bool waited = false;
            QString error;
            const bool ok = DatabaseBackup::backup(
                database, target,
                [&](int p) {
                    // Half-way, let the till post a few sales before copying on.
                    if (p >= 50 && !waited) {
                        waited = true;
                        const int start = till.posted;
                        QElapsedTimer t;
                        t.start();
                        while (till.posted < start + 3 && t.elapsed() < 10000 && till.isRunning())
                            QThread::msleep(2);
                        postedDuring = till.posted - start;
                    }
                },
                &error);
            QVERIFY2(ok, qPrintable(error));
            QVERIFY2(postedDuring >= 3, qPrintable(till.error));
            QCOMPARE(integrity(target), QStringLiteral("ok"));

            // Restored into a shop of its own.
            const QString copy = restored.filePath(QStringLiteral("shop%1/pos.mdb").arg(round));
            QVERIFY(QDir().mkpath(QFileInfo(copy).absolutePath()));
            const DatabaseBackup::RestoreResult r = DatabaseBackup::restore(target, copy, QString(), {});
            QVERIFY2(r.ok, qPrintable(r.reason));
            QCOMPARE(integrity(copy), QStringLiteral("ok"));
            const double box = scalarIn(copy, QStringLiteral("select je from boxje")).toDouble();
            const double sales = scalarIn(copy, QStringLiteral("select total(hjje) from xiaoshoud")).toDouble();
            const int count = scalarIn(copy, QStringLiteral("select count(*) from xiaoshoud")).toInt();
            QVERIFY(count > 0);
            QCOMPARE(box, sales);
            QVERIFY(count < till.posted); // the till went on after the snapshot
            qInfo("backup %d: %d sales in the copy, cash box %.1f", round, count, box);
        }
        till.stop = true;
        till.wait();
        QVERIFY2(till.error.isEmpty(), qPrintable(till.error));
        QCOMPARE(integrity(database), QStringLiteral("ok"));
    }

    // Restoring brings back the data of the backup's day; the data it replaced is kept beside the
    // shop; the program's connections to the shop are closed and opened again and read the
    // restored data; a connection to another file is left alone.
    void restoreBringsBackTheDay()
    {
        TestShop shop(true);
        ScriptedUi ui;
        const QString monday = shop.file(QStringLiteral("monday.bak"));
        QVERIFY(DatabaseBackup::backup(shop.file(QStringLiteral("pos.mdb")), monday, {}, nullptr));
        const int members = shop.count(QStringLiteral("hyinfo"));
        const int products = shop.count(QStringLiteral("spinfo"));

        // Tuesday.
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8809','周二新会员')")));
        QVERIFY(shop.exec(QStringLiteral("delete from spinfo")));
        QVERIFY(shop.exec(QStringLiteral("update boxje set je=999")));
        DbConnection mainWindow;
        QVERIFY(mainWindow.open());
        QTemporaryDir other;
        QVERIFY(QFile::copy(monday, other.filePath(QStringLiteral("x.mdb"))));
        DbConnection elsewhere(other.filePath(QStringLiteral("x.mdb")));
        QVERIFY(elsewhere.open());

        ui.fileNames << monday;
        QList<int> progress;
        QVERIFY(ShopBackup::restore(ui, [&](int p) { progress << p; }));
        const QString kept = shop.file(QStringLiteral("pos-恢复前-2026-12-10-153000.bak"));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("成功恢复数据！\n恢复前的数据已备份到 %1").arg(kept)});
        QCOMPARE(ui.fileDialogTitles, QStringList{QStringLiteral("恢复文件")});
        QCOMPARE(progress.last(), 100);
        QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));

        QVERIFY(shop.db().isOpen());
        QVERIFY(mainWindow.isOpen());
        QVERIFY(elsewhere.isOpen());
        Query q(mainWindow);
        q.setSql(QStringLiteral("select count(*) as n from hyinfo"));
        QVERIFY(q.open());
        QCOMPARE(q.integer(QStringLiteral("n")), members);
        QCOMPARE(shop.count(QStringLiteral("spinfo")), products);
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 0.0);
        QCOMPARE(integrity(shop.file(QStringLiteral("pos.mdb"))), QStringLiteral("ok"));
        // Tuesday is in the kept file.
        QCOMPARE(scalarIn(kept, QStringLiteral("select count(*) from hyinfo where hykh='8809'")).toInt(), 1);
        QCOMPARE(scalarIn(kept, QStringLiteral("select je from boxje")).toDouble(), 999.0);
        // The shop still takes sales.
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8810','周三')")));
        QVERIFY(QDir(shop.folder()).entryList({QStringLiteral(".pos-*")}, QDir::Hidden | QDir::Files).isEmpty());
    }

    // A backup from an older release is brought up to this program's version as it is restored:
    // the tables and indexes added since are there, its data is kept, and the person's file
    // stays as it was.
    void restoreMigratesAnOlderBackup()
    {
        TestShop shop(true);
        const QString database = shop.file(QStringLiteral("pos.mdb"));
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8801','老版本的会员')")));
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old.bak"));
        QVERIFY(DatabaseBackup::backup(database, old, {}, nullptr));
        {
            // What the first release wrote: none of the later tables and indexes, version 1.
            DbConnection db(old);
            QVERIFY(db.open());
            for (const char* sql : {"drop table pdjl", "drop table boxjl", "drop index ix_spinfo_spbh_nocase",
                                    "drop index ix_xiaoshoud_rq_zhje", "pragma user_version = 1"})
                QVERIFY2(db.exec(QString::fromLatin1(sql)), sql);
        }
        QVERIFY(shop.exec(QStringLiteral("delete from hyinfo")));
        const QByteArray file = checksum(old);

        const DatabaseBackup::RestoreResult r =
            DatabaseBackup::restore(old, database, shop.file(QStringLiteral("kept.bak")), {});
        QVERIFY2(r.ok, qPrintable(r.reason));
        QCOMPARE(Schema::fileVersion(shop.db()), Schema::currentVersion());
        QCOMPARE(shop.scalar(QStringLiteral("select count(*) from sqlite_master where name in "
                                            "('pdjl','boxjl','ix_spinfo_spbh_nocase','ix_xiaoshoud_rq_zhje')"))
                     .toInt(),
                 4);
        QCOMPARE(shop.scalar(QStringLiteral("select hyxm from hyinfo where hykh='8801'")).toString(),
                 QStringLiteral("老版本的会员"));
        // The tables added since take rows.
        QVERIFY(shop.exec(QStringLiteral("insert into boxjl(rq,lx,yje,xje) values('2026-12-10','交班',1,2)")));
        QCOMPARE(integrity(database), QStringLiteral("ok"));
        QCOMPARE(checksum(old), file);
        QCOMPARE(scalarIn(old, QStringLiteral("pragma user_version")).toInt(), 1);
    }

    // Only a sound backup of this program replaces the shop's data; anything else leaves pos.mdb
    // byte for byte as it was, keeps no copy and does not touch the chosen file.
    void restoreRefusals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("cut at a page") << "truncated"
                                       << "文件不完整";
        QTest::newRow("cut to its header") << "header only"
                                           << "文件不完整";
        QTest::newRow("cut to its first page") << "first page"
                                               << "文件不完整";
        QTest::newRow("cut inside a page") << "mid-page"
                                           << "文件不完整";
        QTest::newRow("last byte missing") << "short"
                                           << "文件不完整";
        QTest::newRow("damaged page") << "damaged"
                                      << "文件已损坏";
        QTest::newRow("a table's page zeroed") << "zeroed page"
                                               << "文件已损坏";
        // The integrity check's own words name the page.
        QTest::newRow("a page nothing uses") << "stray page"
                                             << "文件已损坏（Page ";
        QTest::newRow("header's name broken") << "broken magic"
                                              << "文件不是数据库文件";
        QTest::newRow("header's page size broken") << "broken page size"
                                                   << "文件已损坏（页大小 768 不对）";
        QTest::newRow("random bytes") << "random"
                                      << "文件不是数据库文件";
        QTest::newRow("text file") << "text"
                                   << "文件不是数据库文件";
        QTest::newRow("empty file") << "empty"
                                    << "文件是空的（0 字节），不是本系统的数据备份";
        QTest::newRow("other program's database") << "foreign"
                                                  << "文件不是本系统的数据备份";
        QTest::newRow("newer version") << "newer"
                                       << "比本程序（";
        QTest::newRow("table missing") << "missing"
                                       << "文件缺少本系统的数据表：spxsph";
        // Two of our table names and version 1: said to be no backup of ours, not upgraded.
        QTest::newRow("look-alike") << "look-alike"
                                    << "文件缺少本系统的数据表：splb、spjl、gysxx、ckinfo、spinfo等 28 个";
        QTest::newRow("no such file") << "absent"
                                      << "找不到文件";
    }
    void restoreRefusals()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        TestShop shop(true);
        ScriptedUi ui;
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8801','张三')"))); // in the log
        const QString database = shop.file(QStringLiteral("pos.mdb"));
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.bak"));
        // Products on many pages: their first page points to the others.
        if (kind == QLatin1String("zeroed page"))
            QVERIFY(addProducts(shop, 2000, QStringLiteral("P")));
        QVERIFY(DatabaseBackup::backup(database, good, {}, nullptr));
        const QString file = dir.filePath(QStringLiteral("candidate.bak"));
        if (kind == QLatin1String("truncated")) {
            QVERIFY(writeFile(file, readFile(good).left(int(QFileInfo(good).size() / 4096 * 2 / 3 * 4096))));
        } else if (kind == QLatin1String("header only")) {
            QVERIFY(writeFile(file, readFile(good).left(100)));
        } else if (kind == QLatin1String("first page")) {
            QVERIFY(writeFile(file, readFile(good).left(4096)));
        } else if (kind == QLatin1String("mid-page")) {
            QVERIFY(writeFile(file, readFile(good).left(4096 * 5 + 1234)));
        } else if (kind == QLatin1String("short")) {
            QVERIFY(writeFile(file, readFile(good).chopped(1)));
        } else if (kind == QLatin1String("damaged")) {
            QByteArray bytes = readFile(good);
            for (int i = 4096 * 3; i < 4096 * 3 + 600; ++i)
                bytes[i] = char(0x5a);
            QVERIFY(writeFile(file, bytes));
        } else if (kind == QLatin1String("zeroed page")) {
            // A page of products in the middle.
            const int page = scalarIn(good, QStringLiteral("select pageno from dbstat where name='spinfo' and "
                                                           "pagetype='leaf' order by pageno limit 1 offset 10"))
                                 .toInt();
            QVERIFY(page > 1);
            QByteArray bytes = readFile(good);
            bytes.replace((page - 1) * 4096, 4096, QByteArray(4096, '\0'));
            QVERIFY(writeFile(file, bytes));
        } else if (kind == QLatin1String("stray page")) {
            // One page more at the end, counted in the header, in no table and not free.
            QByteArray bytes = readFile(good);
            const quint32 pages = quint32(bytes.size() / 4096) + 1;
            for (int i = 0; i < 4; ++i)
                bytes[28 + i] = char(pages >> (8 * (3 - i)));
            QVERIFY(writeFile(file, bytes + QByteArray(4096, '\0')));
        } else if (kind == QLatin1String("broken magic")) {
            QVERIFY(writeFile(file, readFile(good).replace(0, 6, "MySQL ")));
        } else if (kind == QLatin1String("broken page size")) {
            QByteArray bytes = readFile(good);
            bytes[16] = char(0x03); // 768: not a power of two
            bytes[17] = char(0x00);
            QVERIFY(writeFile(file, bytes));
        } else if (kind == QLatin1String("random")) {
            QByteArray bytes(int(QFileInfo(good).size()), Qt::Uninitialized);
            quint32 seed = 20261210;
            for (char& b : bytes) {
                seed = seed * 1664525u + 1013904223u;
                b = char(seed >> 24);
            }
            QVERIFY(writeFile(file, bytes));
        } else if (kind == QLatin1String("text")) {
            QVERIFY(writeFile(file, QByteArray("这不是数据库，只是一个文本文件。\n").repeated(500)));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(writeFile(file, QByteArray()));
        } else if (kind == QLatin1String("foreign")) {
            DbConnection db(file);
            QVERIFY(db.openOrCreate());
            QVERIFY(db.exec(QStringLiteral("create table notes(t text)")));
        } else if (kind == QLatin1String("look-alike")) {
            DbConnection db(file);
            QVERIFY(db.openOrCreate());
            for (const char* sql :
                 {"create table userlogin(yhbh text)", "create table xtsz(gsmc text)", "pragma user_version = 1"})
                QVERIFY(db.exec(QString::fromLatin1(sql)));
        } else if (kind == QLatin1String("newer") || kind == QLatin1String("missing")) {
            QVERIFY(QFile::copy(good, file));
            DbConnection db(file);
            QVERIFY(db.open());
            QVERIFY(db.exec(kind == QLatin1String("newer")
                                ? QStringLiteral("pragma user_version = %1").arg(Schema::currentVersion() + 1)
                                : QStringLiteral("drop table spxsph")));
        }
        if (kind != QLatin1String("absent"))
            QVERIFY(QFileInfo::exists(file));
        const QByteArray fileBefore = checksum(file);
        const QByteArray before = checksum(database);
        const QByteArray logBefore = checksum(database + QStringLiteral("-wal"));

        ui.fileNames << file;
        QVERIFY(!ShopBackup::restore(ui, {}));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].kind, QStringLiteral("error"));
        QVERIFY2(ui.shown[0].text.startsWith(QStringLiteral("恢复失败：")), qPrintable(ui.shown[0].text));
        QVERIFY2(ui.shown[0].text.contains(reason), qPrintable(ui.shown[0].text));
        // The reason is given, not an empty pair of brackets.
        QVERIFY2(!ui.shown[0].text.contains(QStringLiteral("（）")), qPrintable(ui.shown[0].text));
        QVERIFY(ui.shown[0].text.endsWith(QStringLiteral("当前数据没有改动。")));
        QCOMPARE(checksum(database), before);
        QCOMPARE(checksum(database + QStringLiteral("-wal")), logBefore);
        QCOMPARE(checksum(file), fileBefore);
        QCOMPARE(shop.count(QStringLiteral("hyinfo"), QStringLiteral("hykh='8801'")), 1);
        QVERIFY(QDir(shop.folder()).entryList({QStringLiteral("pos-恢复前-*")}).isEmpty());
        QVERIFY(QDir(shop.folder()).entryList({QStringLiteral(".pos-*")}, QDir::Hidden | QDir::Files).isEmpty());
    }

    // A shop left with a write-ahead log of its own (the program was cut off) gets exactly the
    // backup's data: the old log is neither replayed over the restored file nor lost, for it is
    // in the kept copy.
    void oldLogNeverLeaks()
    {
        TestShop source;
        const QString backup = source.file(QStringLiteral("clean.bak"));
        QVERIFY(DatabaseBackup::backup(source.file(QStringLiteral("pos.mdb")), backup, {}, nullptr));
        // Later work still only in the log, then the power goes: the files as they were on disk.
        QVERIFY(source.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8801','断电前')")));
        QVERIFY(addProducts(source, 200, QStringLiteral("L")));
        QTemporaryDir crashed;
        for (const char* name : {"pos.mdb", "pos.mdb-wal"})
            QVERIFY(copyOutside(source.file(QString::fromLatin1(name)), crashed.filePath(QString::fromLatin1(name))));
        QVERIFY(QFileInfo(crashed.filePath(QStringLiteral("pos.mdb-wal"))).size() > 0);

        const QString database = crashed.filePath(QStringLiteral("pos.mdb"));
        const QString kept = crashed.filePath(QStringLiteral("kept.bak"));
        const DatabaseBackup::RestoreResult r = DatabaseBackup::restore(backup, database, kept, {});
        QVERIFY2(r.ok, qPrintable(r.reason));
        QCOMPARE(integrity(database), QStringLiteral("ok"));
        QCOMPARE(scalarIn(database, QStringLiteral("select count(*) from hyinfo")).toInt(), 0);
        QCOMPARE(scalarIn(database, QStringLiteral("select count(*) from spinfo")).toInt(), 0);
        QCOMPARE(scalarIn(kept, QStringLiteral("select hyxm from hyinfo")).toString(), QStringLiteral("断电前"));
        QCOMPARE(scalarIn(kept, QStringLiteral("select count(*) from spinfo")).toInt(), 200);
        // Opened once more from cold: still the backup's data.
        QVERIFY(!QFileInfo::exists(database + QStringLiteral("-wal")) ||
                QFileInfo(database + QStringLiteral("-wal")).size() == 0);
        QCOMPARE(scalarIn(database, QStringLiteral("select count(*) from hyinfo")).toInt(), 0);
    }

    // A shop whose file SQLite cannot read any more is exactly what a restore is for: the broken
    // file is kept byte for byte and the backup takes its place.
    void restoreOverUnreadableShop()
    {
        TestShop shop(true);
        const QString database = shop.file(QStringLiteral("pos.mdb"));
        const QString backup = shop.file(QStringLiteral("good.bak"));
        QVERIFY(DatabaseBackup::backup(database, backup, {}, nullptr));
        const int products = shop.count(QStringLiteral("spinfo"));
        shop.db().close();
        QByteArray broken = readFile(database);
        broken.replace(0, 100, QByteArray(100, 'z'));
        QVERIFY(writeFile(database, broken));
        QVERIFY(!shop.db().open());

        const QString kept = shop.file(QStringLiteral("kept.bak"));
        const DatabaseBackup::RestoreResult r = DatabaseBackup::restore(backup, database, kept, {});
        QVERIFY2(r.ok, qPrintable(r.reason));
        QCOMPARE(r.keptAs, kept);
        QCOMPARE(readFile(kept), broken);
        QVERIFY(shop.db().open());
        QCOMPARE(shop.count(QStringLiteral("spinfo")), products);
        QCOMPARE(integrity(database), QStringLiteral("ok"));
    }

    // Another program that reads the shop while the till runs (a nightly backup, a look with a
    // database tool) must leave the till's write-ahead log and its index in place. It would take
    // them away as "the last one out" if the till had lost its locks on the file, which a second
    // connection opening the file used to do by reading its header.
    void otherProgramsLeaveTheTillsLog()
    {
        TestShop shop;
        const QString database = shop.file(QStringLiteral("pos.mdb"));
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8801','张三')")));
        DbConnection second; // another screen opens
        QVERIFY(second.open());
        const QString log = database + QStringLiteral("-wal");
        const QString index = database + QStringLiteral("-shm");
        QVERIFY(QFileInfo::exists(log) && QFileInfo::exists(index));

        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe"), database});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitCode(), 0);
        QVERIFY2(QFileInfo::exists(log), "the log was taken away under the till");
        QVERIFY(QFileInfo::exists(index));
        // The till goes on writing, and what it writes is there for everybody.
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8802','李四')")));
        QVERIFY(second.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8803','王五')")));
        QProcess count;
        count.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--count"), database});
        QVERIFY(count.waitForFinished(30000));
        QCOMPARE(count.readAllStandardOutput().trimmed(), QByteArray("3"));
    }

    // pos-setup --backup and --restore: the same copy, checks and refusals for a nightly job.
    void commandLine()
    {
        TestShop shop(true);
        const QString program = QStringLiteral(POS_PROGRAM_DIR "/pos-setup");
        QVERIFY(QFileInfo::exists(program));
        QTemporaryDir dir;
        const QString nightly = dir.filePath(QStringLiteral("nightly.bak"));
        auto run = [&](const QStringList& args, const QString& home, QString* output = nullptr) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("POS_HOME"), home);
            p.setProcessEnvironment(env);
            p.start(program, args);
            p.waitForFinished(60000);
            if (output)
                *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QString out;
        QCOMPARE(run({QStringLiteral("--backup"), nightly}, shop.folder(), &out), 0);
        QVERIFY2(out.contains(QStringLiteral("已备份到")), qPrintable(out));
        const QByteArray first = checksum(nightly);
        QCOMPARE(run({QStringLiteral("--backup"), nightly}, shop.folder(), &out), 1);
        QVERIFY2(out.contains(QStringLiteral("已经存在")), qPrintable(out));
        QCOMPARE(checksum(nightly), first);
        QCOMPARE(run({QStringLiteral("--backup")}, shop.folder()), 2);

        // A shop that lost its file gets it back from the night's backup.
        QTemporaryDir lost;
        QCOMPARE(run({QStringLiteral("--restore"), nightly}, lost.path(), &out), 0);
        QCOMPARE(integrity(lost.filePath(QStringLiteral("pos.mdb"))), QStringLiteral("ok"));
        QCOMPARE(
            scalarIn(lost.filePath(QStringLiteral("pos.mdb")), QStringLiteral("select count(*) from spinfo")).toInt(),
            shop.count(QStringLiteral("spinfo")));

        // A file that is no backup is refused and the shop is untouched.
        const QString junk = dir.filePath(QStringLiteral("junk.bak"));
        QVERIFY(writeFile(junk, QByteArray(10000, 'x')));
        const QByteArray before = checksum(shop.file(QStringLiteral("pos.mdb")));
        QCOMPARE(run({QStringLiteral("--restore"), junk}, shop.folder(), &out), 1);
        QVERIFY2(out.contains(QStringLiteral("恢复失败")), qPrintable(out));
        QCOMPARE(checksum(shop.file(QStringLiteral("pos.mdb"))), before);

        QVERIFY(shop.exec(QStringLiteral("delete from spinfo")));
        {
            // While the till runs (it holds the shop's lock) a restore waits for it to close.
            ShopLock till(shop.folder());
            QVERIFY(till.acquire());
            const QByteArray running = checksum(shop.file(QStringLiteral("pos.mdb")));
            QCOMPARE(run({QStringLiteral("--restore"), nightly}, shop.folder(), &out), 1);
            QVERIFY2(out.contains(ShopLock::alreadyRunningText()), qPrintable(out));
            QCOMPARE(checksum(shop.file(QStringLiteral("pos.mdb"))), running);
            QCOMPARE(shop.count(QStringLiteral("spinfo")), 0);
        }
        QCOMPARE(run({QStringLiteral("--restore"), nightly}, shop.folder(), &out), 0);
        QVERIFY2(out.contains(QStringLiteral("恢复前的数据已备份到")), qPrintable(out));
        QVERIFY(shop.count(QStringLiteral("spinfo")) > 0);
    }
};

// The other program of otherProgramsLeaveTheTillsLog: opens the shop with the engine's defaults,
// reads and closes (--probe), or prints the number of members (--count).
static int otherProgram(const char* mode, const char* file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 2;
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "select count(*) from hyinfo", -1, &st, nullptr);
    int members = -1;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        members = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (members < 0)
        return 3;
    if (qstrcmp(mode, "--count") == 0)
        std::printf("%d\n", members);
    return 0;
}

int main(int argc, char* argv[])
{
    if (argc == 3 && (qstrcmp(argv[1], "--probe") == 0 || qstrcmp(argv[1], "--count") == 0))
        return otherProgram(argv[1], argv[2]);
    QCoreApplication app(argc, argv);
    BackupTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backup.moc"
