#include "core/DbConnection.h"
#include "core/DbErrorText.h"
#include "schema/Schema.h"
#include "schema/Setup.h"
#include "support/TestShop.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The statement pattern, the dialect, the type rules and the schema of pos.mdb.
class DatabaseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void translate_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("translated");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("named") << QStringLiteral("select * from spinfo where spbh=:SPBH")
                               << QStringLiteral("select * from spinfo where spbh=?") << QStringList{QStringLiteral("SPBH")};
        QTest::newRow("mixed case") << QStringLiteral("values(:SPBH,:SPlb)") << QStringLiteral("values(?,?)")
                                    << QStringList{QStringLiteral("SPBH"), QStringLiteral("SPLB")};
        QTest::newRow("mid") << QStringLiteral("where mid(djbh,5,8)=:DJBH")
                             << QStringLiteral("where substr(djbh,5,8)=?") << QStringList{QStringLiteral("DJBH")};
        QTest::newRow("MID upper with blank") << QStringLiteral("select MID (a,1,2)")
                                              << QStringLiteral("select substr (a,1,2)") << QStringList{};
        QTest::newRow("column named mid") << QStringLiteral("select mid, t.mid(x) from t")
                                          << QStringLiteral("select mid, t.mid(x) from t") << QStringList{};
        QTest::newRow("literal untouched") << QStringLiteral("select ':X mid(' as a, :Y")
                                           << QStringLiteral("select ':X mid(' as a, ?") << QStringList{QStringLiteral("Y")};
        QTest::newRow("doubled quote") << QStringLiteral("select 'it''s :A', :B")
                                       << QStringLiteral("select 'it''s :A', ?") << QStringList{QStringLiteral("B")};
        QTest::newRow("time literal") << QStringLiteral("select '12:30:00'") << QStringLiteral("select '12:30:00'")
                                      << QStringList{};
    }
    void translate()
    {
        QFETCH(QString, sql);
        QFETCH(QString, translated);
        QFETCH(QStringList, names);
        const SqlDialect::Translated t = SqlDialect::translate(sql);
        QCOMPARE(t.sql, translated);
        QCOMPARE(t.paramNames, names);
    }

    void statementPattern()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        Query q(shop.db());
        // Lines added in pieces make one statement; names bind in any case.
        q.close();
        q.clear();
        q.add(QStringLiteral("insert into splb(lbbh,lbmc)"));
        q.add(QStringLiteral(" values(:LBbh,:lbmc)"));
        q.bind(QStringLiteral("LBBH"), QStringLiteral("01"));
        q.bind(QStringLiteral(":LBMC"), QStringLiteral("饮料"));
        QVERIFY2(q.execute(), qPrintable(q.lastError()));
        QCOMPARE(q.rowsAffected(), 1);
        QVERIFY(shop.exec(QStringLiteral("insert into splb(lbbh,lbmc) values('02','食品')")));
        QVERIFY(shop.exec(QStringLiteral("insert into splb(lbbh,lbmc) values('03','日用品')")));

        q.close();
        q.clear();
        q.add(QStringLiteral("select * from splb where lbbh<>:X order by lbbh"));
        q.bind(QStringLiteral("x"), QStringLiteral("02"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(q.text(QStringLiteral("LBMC")), QStringLiteral("饮料"));
        QVERIFY(q.next());
        QCOMPARE(q.text(QStringLiteral("lbbh")), QStringLiteral("03"));
        QVERIFY(!q.next());
        QVERIFY(q.eof());
        QVERIFY(q.first());
        QCOMPARE(q.text(QStringLiteral("lbbh")), QStringLiteral("01"));
        QVERIFY(q.last());
        QCOMPARE(q.text(QStringLiteral("lbbh")), QStringLiteral("03"));

        // A select that matches nothing still opens, with no current row.
        q.setSql(QStringLiteral("select * from splb where lbbh='99'"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 0);
        QCOMPARE(q.text(QStringLiteral("lbmc")), QString());
        QCOMPARE(q.number(QStringLiteral("lbmc")), 0.0);

        // A parameter left unbound is an error, not a silent NULL.
        q.setSql(QStringLiteral("select * from splb where lbbh=:LBBH"));
        QVERIFY(!q.open());
        QVERIFY(q.lastError().contains(QStringLiteral("LBBH")));
    }

    void dialect()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        // sum and max over no rows: one row whose value is empty and reads as 0.
        Query q(shop.db());
        q.setSql(QStringLiteral("select sum(sl) as sl,sum(jine) as jine from  xiaoshoudrecord where djbh=:DJBH"));
        q.bind(QStringLiteral("DJBH"), QStringLiteral("XS01202403050001"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 1);
        QVERIFY(q.value(QStringLiteral("sl")).isNull());
        QCOMPARE(q.text(QStringLiteral("sl")), QString());
        QCOMPARE(q.number(QStringLiteral("jine")), 0.0);

        // Field texts bound into number columns are converted by the database.
        for (const auto& [sl, jine] : {std::pair{"2", 5.0}, std::pair{"1.5", 3.0}}) {
            q.setSql(QStringLiteral("insert into xiaoshoudrecord(spbh,sl,jine,djbh,rq) values('1001',:SL,:JINE,:DJBH,'2024-03-05')"));
            q.bind(QStringLiteral("SL"), QString::fromLatin1(sl));
            q.bind(QStringLiteral("JINE"), jine);
            q.bind(QStringLiteral("DJBH"), QStringLiteral("XS01202403050001"));
            QVERIFY2(q.execute(), qPrintable(q.lastError()));
        }
        q.setSql(QStringLiteral("select sum(sl) as sl,sum(jine) as jine from  xiaoshoudrecord where djbh=:DJBH"));
        q.bind(QStringLiteral("DJBH"), QStringLiteral("XS01202403050001"));
        QVERIFY(q.open());
        QCOMPARE(q.text(QStringLiteral("sl")), QStringLiteral("3.5"));
        QCOMPARE(q.text(QStringLiteral("jine")), QStringLiteral("8"));

        // mid, like, max with an alias, a join in the where clause with arithmetic.
        QVERIFY(shop.exec(QStringLiteral("insert into xiaoshoud(djbh,rq,qkje) values('XS01202403050007','2024-03-05',0)")));
        QVERIFY(shop.exec(QStringLiteral("insert into xiaoshoud(djbh,rq,qkje) values('XS01202403050012','2024-03-05',0)")));
        QCOMPARE(shop.scalar(QStringLiteral("select mid(djbh,5,8) as d from xiaoshoud")).toString(), QStringLiteral("20240305"));
        QCOMPARE(shop.scalar(QStringLiteral("select max(djbh) as djbh from xiaoshoud where rq=:RQ"),
                             {{QStringLiteral("RQ"), QStringLiteral("2024-03-05")}})
                     .toString(),
                 QStringLiteral("XS01202403050012"));
        QCOMPARE(shop.scalar(QStringLiteral("select count(*) from xiaoshoud where djbh like :P"),
                             {{QStringLiteral("P"), QStringLiteral("XS01%")}})
                     .toInt(),
                 2);
        QVERIFY(shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,kucun1) values('1001','可乐',10)")));
        QVERIFY(shop.exec(QStringLiteral("insert into kucun(spbh,sl,jinjia) values('1001',4,1.5)")));
        QCOMPARE(shop.scalar(QStringLiteral("select (b.jinjia*b.sl) as c1 from spinfo a,kucun b where b.sl<=a.kucun1 and "
                                            "a.spbh=b.spbh"))
                     .toDouble(),
                 6.0);

        // Insert from a select, update and delete without a where clause.
        QVERIFY(shop.exec(QStringLiteral("insert into spinfotm(spbh,sale1,tiaoma) select spbh,sale1,tiaoma from spinfo")));
        QCOMPARE(shop.count(QStringLiteral("spinfotm")), 1);
        QVERIFY(shop.exec(QStringLiteral("update boxje set je=12.5")));
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 12.5);
        QVERIFY(shop.exec(QStringLiteral("delete from spinfotm")));
        QCOMPARE(shop.count(QStringLiteral("spinfotm")), 0);
    }

    void typeRefusals_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        const QString intoNumber = QStringLiteral("insert into xiaoshoudrecord(sl) values(:V)");
        const QString intoName = QStringLiteral("insert into splb(lbmc) values(:V)");
        const QString intoShort = QStringLiteral("insert into jfjs(js) values(:V)");
        QTest::newRow("number text into double") << intoNumber << QVariant(QStringLiteral("2.5")) << true;
        QTest::newRow("letters into double") << intoNumber << QVariant(QStringLiteral("abc")) << false;
        QTest::newRow("20 characters into text(20)") << intoName << QVariant(QString(20, QChar(0x6C34))) << true;
        QTest::newRow("21 characters into text(20)") << intoName << QVariant(QString(21, QLatin1Char('a'))) << false;
        QTest::newRow("fraction into small integer") << intoShort << QVariant(QStringLiteral("1.5")) << false;
        QTest::newRow("40000 into small integer") << intoShort << QVariant(40000) << false;
    }
    void typeRefusals()
    {
        QFETCH(QString, sql);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        Query q(shop.db());
        q.setSql(sql);
        q.bind(QStringLiteral("V"), value);
        QCOMPARE(q.execute(), accepted);
        if (!accepted)
            QVERIFY2(!q.lastError().isEmpty(), "the engine's error text reaches the caller");
    }

    void transactionRollsBackOnFailure()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        DbConnection& db = shop.db();
        const bool committed = db.transaction([&] {
            Query q(db);
            q.setSql(QStringLiteral("update boxje set je=je+100"));
            if (!q.execute())
                return false;
            q.setSql(QStringLiteral("insert into xiaoshoudrecord(sl) values('not a number')"));
            return q.execute();
        });
        QVERIFY(!committed);
        QVERIFY(!db.lastError().isEmpty());
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 0.0);

        QVERIFY(db.transaction([&] { return shop.exec(QStringLiteral("update boxje set je=je+7")); }));
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 7.0);

        // A second connection on the same file sees the committed row.
        DbConnection other(shop.file(QStringLiteral("pos.mdb")));
        QVERIFY(other.open());
        Query q(other);
        q.setSql(QStringLiteral("select je from boxje"));
        QVERIFY(q.open());
        QCOMPARE(q.number(QStringLiteral("je")), 7.0);
    }

    void missingFileIsNotCreated()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pos.mdb"));
        DbConnection db(file);
        QVERIFY(!db.open());
        QVERIFY(db.lastError().contains(QStringLiteral("pos.mdb")));
        QVERIFY(!QFile::exists(file));
    }

    void schemaHasEveryTableAndColumn()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QCOMPARE(Schema::tables().size(), 30);
        // A few columns with their declared type, read back from the file itself.
        struct Expect {
            const char* table;
            const char* column;
            const char* type;
        };
        const Expect expects[] = {
            {"spinfo", "sale1", "REAL"},     {"spinfo", "kucun1", "INTEGER"},  {"spinfo", "pinma", "TEXT"},
            {"kucun", "sl", "REAL"},         {"hyinfo", "ljjf", "REAL"},       {"xtsz", "qt1", "INTEGER"},
            {"xjls", "jiaje", "REAL"},       {"xiaoshoud", "khmc", "TEXT"},    {"xiaoshoudrecord", "zhekouje", "REAL"},
            {"xiaoshoud2", "fkfs", "TEXT"},  {"xiaoshoudrecord2", "sale1", "REAL"}, {"jinhuodanbf", "zkje", "REAL"},
            {"jinhuodanrecordth", "jinjia", "REAL"}, {"zhlr", "zhlr", "REAL"}, {"spxsph", "spsl", "REAL"},
        };
        for (const Expect& e : expects) {
            Query q(shop.db());
            q.setSql(QStringLiteral("select type from pragma_table_info(:T) where name=:C"));
            q.bind(QStringLiteral("T"), QString::fromLatin1(e.table));
            q.bind(QStringLiteral("C"), QString::fromLatin1(e.column));
            QVERIFY(q.open());
            QVERIFY2(q.recordCount() == 1, e.column);
            QCOMPARE(q.text(QStringLiteral("type")), QString::fromLatin1(e.type));
        }
        for (const Schema::Table& t : Schema::tables()) {
            Query q(shop.db());
            q.setSql(QStringLiteral("select name from pragma_table_info(:T)"));
            q.bind(QStringLiteral("T"), t.name);
            QVERIFY(q.open());
            QCOMPARE(q.recordCount(), int(t.columns.size()));
        }
        QCOMPARE(Schema::fileVersion(shop.db()), Schema::currentVersion());
    }

    void requiredRows()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QCOMPARE(shop.count(QStringLiteral("xtsz")), 1);
        QCOMPARE(shop.count(QStringLiteral("boxje")), 1);
        QCOMPARE(shop.count(QStringLiteral("jfjs")), 1);
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 0.0);
        QCOMPARE(shop.scalar(QStringLiteral("select js from jfjs")).toInt(), 1);
        QCOMPARE(shop.scalar(QStringLiteral("select yhma from userlogin where yhbh='001'")).toString(), Setup::adminPassword());
        QCOMPARE(shop.scalar(QStringLiteral("select m1+m2+m3+m4+m5+m6+m7 from usermenu where yhbh='001'")).toInt(), 7);
        QCOMPARE(shop.count(QStringLiteral("spinfo")), 0);
    }

    void demoShop()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.count(QStringLiteral("spinfo")) >= 30);
        QCOMPARE(shop.count(QStringLiteral("spinfo")), shop.count(QStringLiteral("kucun")));
        QCOMPARE(shop.count(QStringLiteral("spinfo a"), QStringLiteral("not exists (select 1 from kucun b where b.spbh=a.spbh)")), 0);
        QVERIFY(shop.count(QStringLiteral("kucun"), QStringLiteral("sl>0")) > 30);
        QVERIFY(shop.count(QStringLiteral("hyinfo")) >= 1);
        QVERIFY(shop.count(QStringLiteral("ckinfo")) >= 1);
        QCOMPARE(shop.count(QStringLiteral("gysxx")), 2);
        // Every barcode is a valid EAN-13.
        Query q(shop.db());
        q.setSql(QStringLiteral("select tiaoma from spinfo"));
        QVERIFY(q.open());
        for (bool more = q.first(); more; more = q.next()) {
            const QString code = q.text(QStringLiteral("tiaoma"));
            QCOMPARE(code.size(), 13);
            QCOMPARE(Setup::ean13CheckDigit(code.left(12)), code.at(12).digitValue());
        }
        // Pinyin codes are found whatever the letter case typed.
        QCOMPARE(shop.scalar(QStringLiteral("select spbh from spinfo where pinma=:P"), {{QStringLiteral("P"), QStringLiteral("kkkl")}})
                     .toString(),
                 QStringLiteral("1001"));
    }

    void existingFileIsNeverOverwritten()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("update boxje set je=99")));
        shop.db().close();
        const QString file = shop.file(QStringLiteral("pos.mdb"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
        f.close();
        QString error;
        QVERIFY(!Setup::createDatabase(file, {}, &error));
        QVERIFY(error.contains(QStringLiteral("已经存在")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256), before);
    }

    void migrateRefusesNewerFile()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QString error;
        QVERIFY(Schema::migrate(shop.db(), &error));
        QVERIFY(shop.db().exec(QStringLiteral("pragma user_version = %1").arg(Schema::currentVersion() + 1)));
        QVERIFY(!Schema::migrate(shop.db(), &error));
        QVERIFY(!error.isEmpty());
    }

    // A shop file from before the stock counts and the cash-box records were kept (version 3) is
    // brought up to date: both record tables appear, usable, and every row the shop had stays.
    void migrateAddsCountAndCashBoxRecords()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("drop table pdjl")));
        QVERIFY(shop.exec(QStringLiteral("drop table boxjl")));
        QVERIFY(shop.db().exec(QStringLiteral("pragma user_version = 3")));
        const int stock = shop.count(QStringLiteral("kucun"));
        QString error;
        QVERIFY2(Schema::migrate(shop.db(), &error), qPrintable(error));
        QCOMPARE(Schema::fileVersion(shop.db()), Schema::currentVersion());
        QCOMPARE(shop.count(QStringLiteral("kucun")), stock);
        QVERIFY(shop.exec(QStringLiteral("insert into pdjl(spbh,spmc,yssl,pdsl,czy,rq,sj) "
                                         "values('1001','可口可乐',120,118,'库管','2024-03-05','2024-03-05 18:00:00')")));
        QVERIFY(shop.exec(QStringLiteral("insert into boxjl(sj,rq,czy,lx,yje,xje,yy) "
                                         "values('2024-03-05 18:00:00','2024-03-05','店长','调整',800,1000,'补零钱')")));
        QCOMPARE(shop.scalar(QStringLiteral("select ID from pdjl")).toInt(), 1);
        QCOMPARE(shop.scalar(QStringLiteral("select ID from boxjl")).toInt(), 1);
        // Run again over the same file, nothing changes.
        QVERIFY(shop.db().exec(QStringLiteral("pragma user_version = 3")));
        QVERIFY2(Schema::migrate(shop.db(), &error), qPrintable(error));
        QCOMPARE(shop.count(QStringLiteral("pdjl")), 1);
        QCOMPARE(shop.count(QStringLiteral("boxjl")), 1);
    }

    // A statement is prepared once per connection and run again with new values; its read
    // cursor is let go after each run, and a failed run leaves it usable.
    void statementsPreparedOnce()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        DbConnection db(shop.file(QStringLiteral("pos.mdb")));
        QVERIFY(db.open());
        Query q(db);
        const QString insert = QStringLiteral("insert into splb(lbbh,lbmc) values(:LBBH,:LBMC)");
        const QString select = QStringLiteral("select * from splb where lbbh=:LBBH");
        q.setSql(insert);
        q.bind(QStringLiteral("LBBH"), QStringLiteral("01"));
        q.bind(QStringLiteral("LBMC"), QStringLiteral("饮料"));
        QVERIFY(q.execute());
        const int prepared = db.preparedCount();
        for (int i = 2; i <= 5; ++i) {
            q.setSql(insert);
            q.bind(QStringLiteral("LBBH"), QStringLiteral("0%1").arg(i));
            q.bind(QStringLiteral("LBMC"), QStringLiteral("类别%1").arg(i));
            QVERIFY2(q.execute(), qPrintable(q.lastError()));
        }
        QCOMPARE(db.preparedCount(), prepared);
        for (int i = 1; i <= 5; ++i) {
            q.setSql(select);
            q.bind(QStringLiteral("lbbh"), QStringLiteral("0%1").arg(i));
            QVERIFY(q.open());
            QCOMPARE(q.recordCount(), 1);
            QCOMPARE(q.text(QStringLiteral("lbbh")), QStringLiteral("0%1").arg(i));
        }
        QCOMPARE(db.preparedCount(), prepared + 1);

        // A refused value does not spoil the statement for the next run.
        q.setSql(insert);
        q.bind(QStringLiteral("LBBH"), QStringLiteral("06"));
        q.bind(QStringLiteral("LBMC"), QString(21, QLatin1Char('x')));
        QVERIFY(!q.execute());
        q.setSql(insert);
        q.bind(QStringLiteral("LBBH"), QStringLiteral("06"));
        q.bind(QStringLiteral("LBMC"), QStringLiteral("日用品"));
        QVERIFY2(q.execute(), qPrintable(q.lastError()));

        // The kept statement holds no read snapshot: a row written by another connection
        // afterwards is seen by the next run.
        q.setSql(select);
        q.bind(QStringLiteral("LBBH"), QStringLiteral("07"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 0);
        QVERIFY(shop.exec(QStringLiteral("insert into splb(lbbh,lbmc) values('07','文具')")));
        q.setSql(select);
        q.bind(QStringLiteral("LBBH"), QStringLiteral("07"));
        QVERIFY(q.open());
        QCOMPARE(q.text(QStringLiteral("lbmc")), QStringLiteral("文具"));

        // A table changed by another connection: the kept statement sees its new shape.
        q.setSql(QStringLiteral("select * from jine2"));
        QVERIFY(q.open());
        QCOMPARE(q.columns().size(), 2);
        QVERIFY(shop.exec(QStringLiteral("alter table jine2 add column bz text")));
        q.setSql(QStringLiteral("select * from jine2"));
        QVERIFY(q.open());
        QCOMPARE(q.columns().size(), 3);

        // Closing lets go of every statement; the connection opens again and works.
        db.close();
        QCOMPARE(db.preparedCount(), 0);
        QVERIFY(db.open());
        q.setSql(QStringLiteral("select count(*) as n from splb"));
        QVERIFY(q.open());
        QCOMPARE(q.integer(QStringLiteral("n")), 7);
    }

    // The engine's common errors reach the person in Chinese, saying what happened and that
    // nothing was saved, with the engine's text on the second line.
    void errorTexts_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("person"); // the first line; empty: the text passes unchanged
        QTest::newRow("disk full") << QStringLiteral("database or disk is full")
                                   << QStringLiteral("磁盘已满，本次操作没有保存");
        QTest::newRow("disk error") << QStringLiteral("disk I/O error")
                                    << QStringLiteral("读写磁盘时出错，本次操作没有保存");
        QTest::newRow("read-only") << QStringLiteral("attempt to write a readonly database")
                                   << QStringLiteral("数据库文件是只读的，不能写入，本次操作没有保存");
        QTest::newRow("cannot open") << QStringLiteral("unable to open database file")
                                     << QStringLiteral("无法打开数据库文件，本次操作没有保存");
        QTest::newRow("locked") << QStringLiteral("database is locked")
                                << QStringLiteral("数据库正被另一个程序使用，本次操作没有保存，请稍后再试");
        QTest::newRow("corrupt") << QStringLiteral("database disk image is malformed")
                                 << QStringLiteral("数据库文件已经损坏，本次操作没有保存，请用备份恢复");
        QTest::newRow("too long") << QStringLiteral("CHECK constraint failed: length(fkfs) <= 20")
                                  << QStringLiteral("“付款方式”太长，最多20个字，本次操作没有保存");
        QTest::newRow("too long, unknown column") << QStringLiteral("CHECK constraint failed: length(abc) <= 3")
                                                  << QStringLiteral("“abc”太长，最多3个字，本次操作没有保存");
        QTest::newRow("out of range") << QStringLiteral("CHECK constraint failed: js BETWEEN -32768 AND 32767")
                                      << QStringLiteral("“积分基数”超出范围（-32768 到 32767），本次操作没有保存");
        QTest::newRow("not a number") << QStringLiteral("cannot store TEXT value in REAL column xiaoshoudrecord.sl")
                                      << QStringLiteral("“数量”必须是数字，本次操作没有保存");
        QTest::newRow("not whole") << QStringLiteral("cannot store REAL value in INTEGER column jfjs.js")
                                   << QStringLiteral("“积分基数”必须是整数，本次操作没有保存");
        QTest::newRow("twice") << QStringLiteral("UNIQUE constraint failed: spinfo.spbh")
                               << QStringLiteral("“商品编号”已经存在，本次操作没有保存");
        QTest::newRow("missing table") << QStringLiteral("no such table: xjls")
                                       << QStringLiteral("数据库中缺少数据表 xjls，本次操作没有保存");
        QTest::newRow("own message") << QStringLiteral("参数 LBBH 没有赋值") << QString();
        QTest::newRow("trigger text") << QStringLiteral("磁盘已满") << QString();
    }
    void errorTexts()
    {
        QFETCH(QString, engine);
        QFETCH(QString, person);
        const QString text = DbErrorText::forPerson(engine);
        if (person.isEmpty()) {
            QCOMPARE(text, engine);
            return;
        }
        QCOMPARE(text, person + QLatin1Char('\n') + engine);
        // Turned once only.
        QCOMPARE(DbErrorText::forPerson(text), text);
    }

    // Real refusals of the engine, as the connection reports them.
    void engineErrorsInChinese()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        DbConnection& db = shop.db();
        Query q(db);
        q.setSql(QStringLiteral("insert into xiaoshoud(djbh,fkfs) values('XS01202403050001',:F)"));
        q.bind(QStringLiteral("F"), QString(21, QChar(0x73B0)));
        QVERIFY(!q.execute());
        QCOMPARE(q.lastError(), QStringLiteral("“付款方式”太长，最多20个字，本次操作没有保存\n"
                                               "CHECK constraint failed: length(fkfs) <= 20"));
        QCOMPARE(q.engineError(), QStringLiteral("CHECK constraint failed: length(fkfs) <= 20"));
        QCOMPARE(db.lastError(), q.lastError());

        // A full disk, made by a page limit: the whole transaction is refused.
        QVERIFY(db.exec(QStringLiteral("pragma max_page_count = ") +
                        shop.scalar(QStringLiteral("pragma page_count")).toString()));
        const bool written = db.transaction([&] {
            Query w(db);
            w.setSql(QStringLiteral("update boxje set je=5"));
            if (!w.execute())
                return false;
            w.setSql(QStringLiteral("insert into xjls(neirong,shuoming) values(:A,:A)"));
            for (int i = 0; i < 400; ++i) {
                w.bind(QStringLiteral("A"), QString(30, QChar(0x4E00 + i)));
                if (!w.execute())
                    return false;
                w.setSql(QStringLiteral("insert into xjls(neirong,shuoming) values(:A,:A)"));
            }
            return true;
        });
        QVERIFY(!written);
        QVERIFY2(db.lastError().startsWith(QStringLiteral("磁盘已满，本次操作没有保存\n")), qPrintable(db.lastError()));
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 0.0);

        QVERIFY(db.exec(QStringLiteral("pragma query_only = 1")));
        QVERIFY(!shop.exec(QStringLiteral("update boxje set je=1")));
        QVERIFY(db.lastError().startsWith(QStringLiteral("数据库文件是只读的，不能写入，本次操作没有保存\n")));
    }

    // A file that is empty or not SQLite is refused by the connection before the engine writes
    // a byte of it.
    void badFilesNotOpened_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("是空的（0 字节）");
        QTest::newRow("text") << QByteArray("pos.mdb\n") << QStringLiteral("不是 SQLite 数据库");
        QTest::newRow("access header") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20)
                                       << QStringLiteral("不是 SQLite 数据库");
    }
    void badFilesNotOpened()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pos.mdb"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        DbConnection db(file);
        QVERIFY(!db.open());
        QVERIFY2(db.lastError().contains(message), qPrintable(db.lastError()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
        QVERIFY(!QFile::exists(file + QStringLiteral("-wal")));
    }

    // A file of version 1 is brought to the current version: the case-insensitive lookups get
    // their indexes, and the till's lookups use them.
    void caseInsensitiveLookupsIndexed()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        DbConnection& db = shop.db();
        for (const char* index :
             {"ix_spinfo_spbh_nocase", "ix_spinfo_tiaoma_nocase", "ix_hyinfo_hykh_nocase", "ix_hyinfo_sjhao_nocase"})
            QVERIFY(db.exec(QStringLiteral("drop index %1").arg(QString::fromLatin1(index))));
        QVERIFY(db.exec(QStringLiteral("pragma user_version = 1")));
        QString error;
        QVERIFY2(Schema::migrate(db, &error), qPrintable(error));
        QCOMPARE(Schema::fileVersion(db), Schema::currentVersion());
        QVERIFY(Schema::currentVersion() >= 2);

        struct Lookup {
            const char* sql;
            const char* index;
        };
        const Lookup lookups[] = {
            {"select * from spinfo where spbh=? collate nocase order by spbh=? desc", "ix_spinfo_spbh_nocase"},
            {"select * from spinfo where tiaoma=? collate nocase order by tiaoma=? desc", "ix_spinfo_tiaoma_nocase"},
            {"select * from  hyinfo where hykh=? collate nocase", "ix_hyinfo_hykh_nocase"},
            {"select * from  hyinfo where sjhao=? collate nocase", "ix_hyinfo_sjhao_nocase"},
        };
        for (const Lookup& l : lookups) {
            Query q(db);
            q.setSql(QStringLiteral("explain query plan ") +
                     QString::fromLatin1(l.sql).replace(QLatin1Char('?'), QStringLiteral(":V")));
            q.bind(QStringLiteral("V"), QStringLiteral("X"));
            QVERIFY2(q.open(), qPrintable(q.lastError()));
            QStringList plan;
            for (int r = 0; r < q.recordCount(); ++r)
                plan << q.text(r, QStringLiteral("detail"));
            QVERIFY2(plan.join(QLatin1Char(';')).contains(QString::fromLatin1(l.index)),
                     qPrintable(plan.join(QLatin1Char(';'))));
        }
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
