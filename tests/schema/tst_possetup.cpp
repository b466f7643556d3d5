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
};

QTEST_GUILESS_MAIN(PosSetupTest)
#include "tst_possetup.moc"
