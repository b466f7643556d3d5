#include "schema/Schema.h"

#include "core/DbConnection.h"

namespace Schema {

namespace {

Column c(const char* name, const char* type)
{
    return {QString::fromLatin1(name), QString::fromLatin1(type)};
}

QList<Column> productCopyColumns()
{
    return {c("spbh", "text(20)"), c("spmc", "text(30)"), c("spxh", "text(20)"),
            c("spgg", "text(20)"), c("splb", "text(20)"), c("spjl", "text(20)")};
}

QList<Column> goodsHeader()
{
    return {c("ID", "auto"),         c("djbh", "text(16)"),   c("rq", "text(10)"),    c("sj", "text(8)"),
            c("gysmc", "text(50)"),  c("zdy", "text(12)"),    c("zhekou", "double"),  c("hjje", "double"),
            c("zkje", "double"),     c("hkje", "double"),     c("qkje", "double")};
}

QList<Column> goodsLine()
{
    return {c("spbh", "text(20)"),  c("spmc", "text(30)"), c("spxh", "text(20)"), c("spgg", "text(20)"),
            c("spjl", "text(20)"),  c("splb", "text(20)"), c("sl", "double"),     c("jinjia", "double"),
            c("jine", "double"),    c("zhekou", "double"), c("djbh", "text(16)"), c("rq", "text(10)"),
            c("beizhu", "text(50)")};
}

QList<Column> salesHeader()
{
    return {c("ID", "auto"),        c("djbh", "text(16)"),  c("hjje", "double"),   c("zhje", "double"),
            c("hjcb", "double"),    c("qkje", "double"),    c("hkje", "double"),   c("gh", "text(2)"),
            c("xm", "text(12)"),    c("rq", "text(10)"),    c("sj", "text(8)"),    c("khbh", "text(3)"),
            c("khmc", "text(10)"),  c("ckbh", "text(255)"), c("ckmc", "text(20)"), c("hjsl", "double"),
            c("lkje", "double"),    c("zhaoje", "double"),  c("fkfs", "text(20)"), c("jsbz", "smallint")};
}

QList<Column> salesLine()
{
    QList<Column> cols{c("ID", "auto")};
    cols << productCopyColumns();
    cols << QList<Column>{c("sl", "double"),       c("sale1", "decimal"),  c("zhekou", "double"),
                          c("jine", "double"),     c("zhekouje", "double"), c("rq", "text(10)"),
                          c("beizhu", "text(50)"), c("djbh", "text(16)")};
    return cols;
}

QList<Table> buildTables()
{
    QList<Table> t;
    t << Table{QStringLiteral("splb"), {c("lbbh", "text(2)"), c("lbmc", "text(20)")}};
    t << Table{QStringLiteral("spjl"), {c("jlbh", "text(2)"), c("jlmc", "text(20)")}};
    t << Table{QStringLiteral("gysxx"), {c("gysbh", "text(3)"), c("gysmc", "text(50)")}};
    t << Table{QStringLiteral("ckinfo"),
               {c("ID", "auto"), c("ckbh", "text(2)"), c("ckmc", "text(20)"), c("ckdz", "text(30)"), c("fzr", "text(20)")}};

    QList<Column> spinfo = productCopyColumns();
    spinfo << QList<Column>{c("jinjia", "decimal"),   c("sale1", "decimal"),  c("sale2", "decimal"),
                            c("sale3", "decimal"),    c("kucun1", "integer"), c("kucun2", "integer"),
                            c("changjia", "text(30)"), c("pinma", "text(10)"), c("tiaoma", "text(20)"),
                            c("beizhu", "text(50)"),  c("qita", "text(50)"),  c("wbma", "text(10)")};
    t << Table{QStringLiteral("spinfo"), spinfo};

    QList<Column> kucun{c("ID", "auto")};
    kucun << productCopyColumns();
    kucun << QList<Column>{c("jinjia", "double"),  c("sl", "double"),   c("shoujia", "double"), c("jine", "double"),
                           c("beizhu", "text(20)"), c("gys", "text(50)"), c("ckmc", "text(20)")};
    t << Table{QStringLiteral("kucun"), kucun};

    QList<Column> spinfotm = productCopyColumns();
    spinfotm << QList<Column>{c("sale1", "decimal"), c("sale2", "decimal"), c("tiaoma", "text(20)")};
    t << Table{QStringLiteral("spinfotm"), spinfotm};

    t << Table{QStringLiteral("hyinfo"),
               {c("hykh", "text(18)"), c("hyxm", "text(12)"), c("xb", "text(2)"), c("sjhao", "text(11)"),
                c("sfzhao", "text(18)"), c("dz", "text(20)"), c("bz", "text(50)"), c("ljje", "decimal"),
                c("ljjf", "decimal"), c("yyjf", "decimal"), c("zhekou", "decimal")}};
    t << Table{QStringLiteral("jfjs"), {c("js", "smallint")}};
    t << Table{QStringLiteral("userlogin"),
               {c("yhbh", "text(3)"), c("yhmc", "text(20)"), c("yhma", "text(20)"), c("admin", "smallint")}};
    t << Table{QStringLiteral("usermenu"),
               {c("yhbh", "text(3)"), c("m1", "integer"), c("m2", "integer"), c("m3", "integer"), c("m4", "integer"),
                c("m5", "integer"), c("m6", "integer"), c("m7", "integer")}};
    t << Table{QStringLiteral("xtsz"),
               {c("ID", "auto"), c("gsmc", "text(30)"), c("gsdz", "text(50)"), c("gsdh", "text(20)"),
                c("prnt1", "smallint"), c("prnt2", "smallint"), c("qx", "smallint"), c("ku", "smallint"),
                c("jia", "smallint"), c("qt1", "smallint"), c("qt2", "smallint"), c("qt3", "smallint")}};
    t << Table{QStringLiteral("boxje"), {c("je", "double")}};
    t << Table{QStringLiteral("xjls"),
               {c("sj", "datetime"), c("rq", "text(10)"), c("neirong", "text(30)"), c("jiaje", "currency"),
                c("jianje", "currency"), c("ye", "currency"), c("shuoming", "text(30)"), c("czy", "text(12)")}};
    t << Table{QStringLiteral("jine"), {c("rq", "text(10)"), c("jine", "double")}};
    t << Table{QStringLiteral("jine2"), {c("rq", "text(10)"), c("jine", "double")}};

    t << Table{QStringLiteral("jinhuodan"), goodsHeader()};
    t << Table{QStringLiteral("jinhuodanrecord"), goodsLine()};
    t << Table{QStringLiteral("jinhuodanth"), goodsHeader()};
    t << Table{QStringLiteral("jinhuodanrecordth"), goodsLine()};
    t << Table{QStringLiteral("jinhuodanbf"), goodsHeader()};
    t << Table{QStringLiteral("jinhuodanrecordbf"), goodsLine()};

    t << Table{QStringLiteral("xiaoshoud"), salesHeader()};
    t << Table{QStringLiteral("xiaoshoudrecord"), salesLine()};
    t << Table{QStringLiteral("xiaoshoudth"), salesHeader()};
    t << Table{QStringLiteral("xiaoshoudrecordth"), salesLine()};
    t << Table{QStringLiteral("xiaoshoud2"), salesHeader()};
    t << Table{QStringLiteral("xiaoshoudrecord2"), salesLine()};

    QList<Column> spxsph = productCopyColumns();
    spxsph << c("spsl", "double");
    t << Table{QStringLiteral("spxsph"), spxsph};
    t << Table{QStringLiteral("zhlr"),
               {c("sr1", "double"), c("sr2", "double"), c("zc1", "double"), c("zc2", "double"), c("zc3", "double"),
                c("zhlr", "double")}};
    return t;
}

// The sales figures read the sales lines of a range per product and sum the vouchers and
// payments of a range; these indexes hold every column those statements read.
QStringList salesFiguresIndexes()
{
    return {QStringLiteral("create index if not exists ix_xiaoshoudrecord_rq_spbh on xiaoshoudrecord(rq,spbh,sl)"),
            QStringLiteral("create index if not exists ix_xiaoshoud_rq_zhje on xiaoshoud(rq,zhje)"),
            QStringLiteral("create index if not exists ix_xiaoshoudth_rq_zhje on xiaoshoudth(rq,zhje)"),
            QStringLiteral("create index if not exists ix_jine_rq on jine(rq,jine)"),
            QStringLiteral("create index if not exists ix_jine2_rq on jine2(rq,jine)"),
            QStringLiteral("create index if not exists ix_jinhuodanbf_rq_hjje on jinhuodanbf(rq,hjje)")};
}

// The lookups the screens make: products by number, barcode and pinyin code, stock by
// product, members by card and mobile, vouchers by number, by the date inside the number
// and by date, voucher lines by number and by date.
QStringList indexStatements()
{
    QStringList s;
    s << QStringLiteral("create index ix_spinfo_spbh on spinfo(spbh)")
      << QStringLiteral("create index ix_spinfo_tiaoma on spinfo(tiaoma)")
      << QStringLiteral("create index ix_spinfo_pinma on spinfo(pinma)")
      << QStringLiteral("create index ix_kucun_spbh on kucun(spbh)")
      << QStringLiteral("create index ix_hyinfo_hykh on hyinfo(hykh)")
      << QStringLiteral("create index ix_hyinfo_sjhao on hyinfo(sjhao)")
      << QStringLiteral("create index ix_userlogin_yhbh on userlogin(yhbh)")
      << QStringLiteral("create index ix_usermenu_yhbh on usermenu(yhbh)")
      << QStringLiteral("create index ix_splb_lbbh on splb(lbbh)")
      << QStringLiteral("create index ix_spjl_jlbh on spjl(jlbh)")
      << QStringLiteral("create index ix_gysxx_gysbh on gysxx(gysbh)")
      << QStringLiteral("create index ix_ckinfo_ckbh on ckinfo(ckbh)");
    for (const char* h : {"jinhuodan", "jinhuodanth", "jinhuodanbf", "xiaoshoud", "xiaoshoudth"}) {
        const QString t = QString::fromLatin1(h);
        s << QStringLiteral("create index ix_%1_djbh on %1(djbh)").arg(t)
          << QStringLiteral("create index ix_%1_day on %1(substr(djbh,5,8))").arg(t)
          << QStringLiteral("create index ix_%1_rq on %1(rq)").arg(t);
    }
    for (const char* l : {"jinhuodanrecord", "jinhuodanrecordth", "jinhuodanrecordbf", "xiaoshoudrecord",
                          "xiaoshoudrecordth"}) {
        const QString t = QString::fromLatin1(l);
        s << QStringLiteral("create index ix_%1_djbh on %1(djbh)").arg(t)
          << QStringLiteral("create index ix_%1_rq on %1(rq)").arg(t);
    }
    s << QStringLiteral("create index ix_xjls_rq on xjls(rq)");
    return s;
}

// Numbered migrations: entry i raises the file from version i + 1 to i + 2. A release that
// changes the schema appends its statements here and never edits an entry already shipped.
// A new file is created at version 1 and brought up through the same list.
const QList<QStringList>& migrations()
{
    static const QList<QStringList> list{
        // Version 2: product numbers, barcodes, member cards and mobile numbers are found
        // whatever the letter case typed or scanned ("where spbh=:SPBH collate nocase"), and
        // these indexes keep those lookups indexed.
        {
            QStringLiteral("create index if not exists ix_spinfo_spbh_nocase on spinfo(spbh collate nocase)"),
            QStringLiteral("create index if not exists ix_spinfo_tiaoma_nocase on spinfo(tiaoma collate nocase)"),
            QStringLiteral("create index if not exists ix_hyinfo_hykh_nocase on hyinfo(hykh collate nocase)"),
            QStringLiteral("create index if not exists ix_hyinfo_sjhao_nocase on hyinfo(sjhao collate nocase)"),
        },
        salesFiguresIndexes(), // version 3
        // Version 4: every stock count is kept (product, the quantity it replaced, the counted
        // quantity, who, when), and so is every change of the cash box that is not a sale or a
        // refund (handover, adjustment: when, who, old and new amount, the reason).
        {createStatement({QStringLiteral("pdjl"),
                          {c("ID", "auto"), c("spbh", "text(20)"), c("spmc", "text(30)"), c("yssl", "double"),
                                    c("pdsl", "double"), c("czy", "text(12)"), c("rq", "text(10)"),
                                    c("sj", "datetime")}}),
         QStringLiteral("create index ix_pdjl_spbh on pdjl(spbh,ID)"),
         createStatement({QStringLiteral("boxjl"),
                          {c("ID", "auto"), c("sj", "datetime"), c("rq", "text(10)"), c("czy", "text(12)"),
                                     c("lx", "text(10)"), c("yje", "currency"), c("xje", "currency"),
                                     c("yy", "text(50)")}})},
    };
    return list;
}

QString columnDefinition(const Column& col)
{
    const QString& t = col.type;
    const QString& n = col.name;
    if (t == QLatin1String("auto"))
        return n + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    if (t.startsWith(QLatin1String("text("))) {
        const QString len = t.mid(5, t.size() - 6);
        QString def = QStringLiteral("%1 TEXT CHECK(length(%1) <= %2)").arg(n, len);
        if (n == QLatin1String("pinma"))
            def = QStringLiteral("%1 TEXT COLLATE NOCASE CHECK(length(%1) <= %2)").arg(n, len);
        return def;
    }
    if (t == QLatin1String("text") || t == QLatin1String("datetime"))
        return n + QStringLiteral(" TEXT");
    if (t == QLatin1String("integer"))
        return QStringLiteral("%1 INTEGER CHECK(%1 BETWEEN -2147483648 AND 2147483647)").arg(n);
    if (t == QLatin1String("smallint"))
        return QStringLiteral("%1 INTEGER CHECK(%1 BETWEEN -32768 AND 32767)").arg(n);
    // double, decimal and currency: the program rounds prices to the cent and currency to
    // four decimals when it writes them.
    return n + QStringLiteral(" REAL");
}

} // namespace

const QList<Table>& tables()
{
    static const QList<Table> list = buildTables();
    return list;
}

QStringList tableNames()
{
    QStringList names;
    for (const Table& t : tables())
        names << t.name;
    return names;
}

QString createStatement(const Table& table)
{
    QStringList defs;
    for (const Column& col : table.columns)
        defs << columnDefinition(col);
    return QStringLiteral("create table %1 (\n    %2\n) strict").arg(table.name, defs.join(QStringLiteral(",\n    ")));
}

int currentVersion()
{
    return 1 + int(migrations().size());
}

int fileVersion(DbConnection& db)
{
    Query q(db);
    q.setSql(QStringLiteral("pragma user_version"));
    if (!q.open() || q.isEmpty())
        return -1;
    return q.integer(QStringLiteral("user_version"));
}

bool create(DbConnection& db, QString* error)
{
    const bool ok = db.transaction([&] {
        for (const Table& t : tables()) {
            if (!db.exec(createStatement(t)))
                return false;
        }
        for (const QString& s : indexStatements()) {
            if (!db.exec(s))
                return false;
        }
        for (const QStringList& steps : migrations()) {
            for (const QString& s : steps) {
                if (!db.exec(s))
                    return false;
            }
        }
        return db.exec(QStringLiteral("pragma user_version = %1").arg(currentVersion()));
    });
    if (!ok && error)
        *error = db.lastError();
    return ok;
}

bool migrate(DbConnection& db, QString* error)
{
    int version = fileVersion(db);
    if (version < 1) {
        if (error)
            *error = QStringLiteral("数据库文件不是本系统的数据库：%1").arg(db.file());
        return false;
    }
    if (version > currentVersion()) {
        if (error)
            *error = QStringLiteral("数据库文件的版本（%1）比本程序新（%2），请使用新版本的程序").arg(version).arg(currentVersion());
        return false;
    }
    while (version < currentVersion()) {
        const QStringList& steps = migrations().at(version - 1);
        const bool ok = db.transaction([&] {
            for (const QString& s : steps) {
                if (!db.exec(s))
                    return false;
            }
            return db.exec(QStringLiteral("pragma user_version = %1").arg(version + 1));
        });
        if (!ok) {
            if (error)
                *error = QStringLiteral("数据库升级到版本 %1 失败：%2").arg(version + 1).arg(db.lastError());
            return false;
        }
        ++version;
    }
    return true;
}

} // namespace Schema
