#include "core/DbConnection.h"
#include "schema/Schema.h"
#include "schema/Setup.h"
#include "support/TestShop.h"

#include <QCryptographicHash>
#include <QFile>
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
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
