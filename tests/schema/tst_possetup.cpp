#include "core/DbConnection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The set-up program as a shop owner runs it.
class PosSetupTest : public QObject {
    Q_OBJECT
private:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };
    static Run run(const QString& home, const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("POS_HOME"), home);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(POS_PROGRAM_DIR "/pos-setup"), args);
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void createsOnceAndRefusesToOverwrite()
    {
        QTemporaryDir dir;
        const Run first = run(dir.path(), {QStringLiteral("--demo")});
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.out.contains(QStringLiteral("001")), qPrintable(first.out));
        QVERIFY(first.out.contains(QStringLiteral("123")));
        const QString file = dir.filePath(QStringLiteral("pos.mdb"));
        QVERIFY(QFile::exists(file));
        const qint64 size = QFileInfo(file).size();

        const Run second = run(dir.path(), {});
        QVERIFY(second.exitCode != 0);
        QVERIFY2(second.err.contains(QStringLiteral("已经存在")), qPrintable(second.err));
        QCOMPARE(QFileInfo(file).size(), size);
    }

    void helpAndBadArguments()
    {
        QTemporaryDir dir;
        const Run help = run(dir.path(), {QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(QStringLiteral("--demo")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pos.mdb"))));

        const Run bad = run(dir.path(), {QStringLiteral("--wipe")});
        QVERIFY(bad.exitCode != 0);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pos.mdb"))));
    }

    // --history needs --demo and a whole number of days from 1 to 366; otherwise nothing is made.
    void historyRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no days") << QStringList{"--demo", "--history"};
        QTest::newRow("zero") << QStringList{"--demo", "--history", "0"};
        QTest::newRow("over a year") << QStringList{"--demo", "--history", "367"};
        QTest::newRow("not a number") << QStringList{"--demo", "--history", "abc"};
        QTest::newRow("a fraction") << QStringList{"--demo", "--history", "1.5"};
        QTest::newRow("without --demo") << QStringList{"--history", "3"};
    }
    void historyRefused()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        const Run r = run(dir.path(), args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QStringLiteral("--history")), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pos.mdb"))));
    }

    // A shop with days of trading; the receipts went nowhere and the lock is gone.
    void demoWithHistory()
    {
        QTemporaryDir dir;
        const Run r = run(dir.path(), {QStringLiteral("--demo"), QStringLiteral("--history"), QStringLiteral("3")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("3 天")), qPrintable(r.out));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("LPT1"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pos.lock"))));
        DbConnection db(dir.filePath(QStringLiteral("pos.mdb")));
        QVERIFY(db.open());
        Query q(db);
        q.setSql(QStringLiteral("select count(distinct rq) as days,count(*) as n from xiaoshoud"));
        QVERIFY(q.open());
        QCOMPARE(q.integer(QStringLiteral("days")), 3);
        QVERIFY(q.integer(QStringLiteral("n")) >= 3 * 8);
        db.close();
    }

    // A step that fails (here the receipt file cannot be written) is named, and the half-made
    // shop is taken away.
    void failedHistoryLeavesNoShop()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bill.txt")));
        const Run r = run(dir.path(), {QStringLiteral("--demo"), QStringLiteral("--history"), QStringLiteral("2")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("没有留下")) && r.err.contains(QStringLiteral("销售")),
                 qPrintable(r.err));
        for (const char* name : {"pos.mdb", "pos.mdb-wal", "pos.mdb-shm", "pos.lock", "LPT1"})
            QVERIFY2(!QFile::exists(dir.filePath(QString::fromLatin1(name))), name);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("bill.txt"))).isDir());
    }
};

QTEST_GUILESS_MAIN(PosSetupTest)
#include "tst_possetup.moc"
