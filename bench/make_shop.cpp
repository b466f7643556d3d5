// Writes a large synthetic shop for the benchmarks: products with stock rows and barcodes,
// members, and a long sales history. Everything goes in through prepared statements inside
// one transaction, so a shop of a million sales lines takes well under a minute.
//
//   make_shop FOLDER [--products N] [--headers N] [--lines-per-voucher N] [--members N] [--days N]
//                    [--stock-vouchers N] [--suppliers N] [--counts N]

#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "schema/Setup.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cmath>
#include <random>

namespace {

struct Sizes {
    int products = 100000;
    int headers = 200000;
    int linesPerVoucher = 5;
    int members = 20000;
    int days = 730;
    // The back office: suppliers and stock-in vouchers (5 lines each), half of them paid.
    int stockVouchers = 20000;
    int suppliers = 50;
    // Stock counts kept by stocktaking, on random products over the same days.
    int counts = 20000;
};

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

using SyntheticShop::barcode;
using SyntheticShop::pinyinCode;
using SyntheticShop::productNumber;

class Writer {
public:
    explicit Writer(QSqlDatabase& db) : m_db(db) {}

    bool prepare(QSqlQuery& q, const QString& sql)
    {
        if (!q.prepare(sql)) {
            m_error = q.lastError().text() + QStringLiteral(" in ") + sql;
            return false;
        }
        return true;
    }
    bool run(QSqlQuery& q)
    {
        if (!q.exec()) {
            m_error = q.lastError().text();
            return false;
        }
        return true;
    }
    QString error() const { return m_error; }

private:
    QSqlDatabase& m_db;
    QString m_error;
};

bool fill(DbConnection& conn, const Sizes& n, QString* error)
{
    QSqlDatabase& db = conn.database();
    Writer w(db);
    std::mt19937 rng(20240305);
    std::uniform_int_distribution<int> anyProduct(1, n.products);
    std::uniform_int_distribution<int> price(10, 20000); // fen
    std::uniform_int_distribution<int> qty(1, 3);

    QSqlQuery q(db);
    const QStringList categories{QStringLiteral("食品"), QStringLiteral("饮料"), QStringLiteral("日化"),
                                 QStringLiteral("烟酒"), QStringLiteral("粮油"), QStringLiteral("文具")};
    const QStringList units{QStringLiteral("个"), QStringLiteral("瓶"), QStringLiteral("包"), QStringLiteral("盒")};

    if (!w.prepare(q, QStringLiteral("insert into splb(lbbh,lbmc) values(?,?)")))
        return *error = w.error(), false;
    for (int i = 0; i < categories.size(); ++i) {
        q.addBindValue(QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(categories[i]);
        if (!w.run(q))
            return *error = w.error(), false;
    }
    if (!w.prepare(q, QStringLiteral("insert into spjl(jlbh,jlmc) values(?,?)")))
        return *error = w.error(), false;
    for (int i = 0; i < units.size(); ++i) {
        q.addBindValue(QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(units[i]);
        if (!w.run(q))
            return *error = w.error(), false;
    }
    QSqlQuery count(db);
    if (count.exec(QStringLiteral("select count(*) from ckinfo")) && count.next() && count.value(0).toInt() == 0) {
        if (!w.prepare(q, QStringLiteral("insert into ckinfo(ckbh,ckmc) values('01','主仓库')")) || !w.run(q))
            return *error = w.error(), false;
    }

    // Products and their stock rows.
    QVector<double> sale1(n.products + 1);
    QVector<QString> names(n.products + 1);
    QSqlQuery stock(db);
    if (!w.prepare(q, QStringLiteral("insert into spinfo(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sale1,sale2,"
                                     "kucun1,kucun2,pinma,tiaoma) values(?,?,?,?,?,?,?,?,?,?,?,?,?)")) ||
        !w.prepare(stock, QStringLiteral("insert into kucun(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sl,shoujia,jine,"
                                         "ckmc) values(?,?,?,?,?,?,?,?,?,?,?)")))
        return *error = w.error(), false;
    for (int i = 1; i <= n.products; ++i) {
        const double p = price(rng) / 100.0;
        const double cost = double(qRound(p * 80)) / 100.0;
        sale1[i] = p;
        names[i] = QStringLiteral("商品%1").arg(i);
        const QString category = categories[i % categories.size()];
        const QString unit = units[i % units.size()];
        const QString model = QStringLiteral("%1g").arg(50 * (1 + i % 20));
        q.addBindValue(productNumber(i));
        q.addBindValue(names[i]);
        q.addBindValue(model);
        q.addBindValue(QStringLiteral("标准"));
        q.addBindValue(category);
        q.addBindValue(unit);
        q.addBindValue(cost);
        q.addBindValue(p);
        q.addBindValue(double(qRound(p * 95)) / 100.0);
        q.addBindValue(10);
        q.addBindValue(1000);
        q.addBindValue(pinyinCode(i));
        q.addBindValue(barcode(i));
        if (!w.run(q))
            return *error = w.error(), false;
        stock.addBindValue(productNumber(i));
        stock.addBindValue(names[i]);
        stock.addBindValue(model);
        stock.addBindValue(QStringLiteral("标准"));
        stock.addBindValue(category);
        stock.addBindValue(unit);
        stock.addBindValue(cost);
        stock.addBindValue(1000000.0);
        stock.addBindValue(p);
        stock.addBindValue(cost * 1000000.0);
        stock.addBindValue(QStringLiteral("主仓库"));
        if (!w.run(stock))
            return *error = w.error(), false;
    }

    // Members.
    if (!w.prepare(q, QStringLiteral("insert into hyinfo(hykh,hyxm,xb,sjhao,ljje,ljjf,yyjf,zhekou) "
                                     "values(?,?,?,?,?,?,?,?)")))
        return *error = w.error(), false;
    for (int i = 1; i <= n.members; ++i) {
        q.addBindValue(QStringLiteral("8800%1").arg(i, 8, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("会员%1").arg(i));
        q.addBindValue(i % 2 ? QStringLiteral("男") : QStringLiteral("女"));
        q.addBindValue(QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')));
        q.addBindValue(0.0);
        q.addBindValue(0.0);
        q.addBindValue(0.0);
        q.addBindValue(1.0);
        if (!w.run(q))
            return *error = w.error(), false;
    }

    // Sales history: the headers spread evenly over the days before today, each with its lines.
    QSqlQuery line(db);
    if (!w.prepare(q, QStringLiteral("insert into xiaoshoud(djbh,hjje,zhje,qkje,xm,rq,sj,khmc,ckmc,hjsl,lkje,zhaoje,"
                                     "fkfs) values(?,?,?,?,?,?,?,?,?,?,?,?,?)")) ||
        !w.prepare(line, QStringLiteral("insert into xiaoshoudrecord(spbh,spmc,spxh,spgg,splb,spjl,sl,sale1,jine,"
                                        "zhekou,zhekouje,djbh,rq) values(?,?,?,?,?,?,?,?,?,?,?,?,?)")))
        return *error = w.error(), false;
    const QDate first = QDate::currentDate().addDays(-n.days);
    for (int h = 0; h < n.headers; ++h) {
        const int day = int(qint64(h) * n.days / n.headers);
        const int seq = h - int((qint64(day) * n.headers + n.days - 1) / n.days) + 1;
        const QDate date = first.addDays(day);
        const QString rq = date.toString(QStringLiteral("yyyy-MM-dd"));
        const QString djbh =
            QStringLiteral("XS01%1%2").arg(date.toString(QStringLiteral("yyyyMMdd"))).arg(seq, 4, 10, QLatin1Char('0'));
        double total = 0;
        double count = 0;
        for (int k = 0; k < n.linesPerVoucher; ++k) {
            const int i = anyProduct(rng);
            const double sl = qty(rng);
            const double jine = sale1[i] * sl;
            total += jine;
            count += sl;
            line.addBindValue(productNumber(i));
            line.addBindValue(names[i]);
            line.addBindValue(QString());
            line.addBindValue(QStringLiteral("标准"));
            line.addBindValue(categories[i % categories.size()]);
            line.addBindValue(units[i % units.size()]);
            line.addBindValue(sl);
            line.addBindValue(sale1[i]);
            line.addBindValue(jine);
            line.addBindValue(1.0);
            line.addBindValue(jine);
            line.addBindValue(djbh);
            line.addBindValue(rq);
            if (!w.run(line))
                return *error = w.error(), false;
        }
        const double tendered = std::ceil(total / 10) * 10;
        q.addBindValue(djbh);
        q.addBindValue(total);
        q.addBindValue(total);
        q.addBindValue(0.0);
        q.addBindValue(QStringLiteral("收银员"));
        q.addBindValue(rq);
        q.addBindValue(QStringLiteral("%1:%2:00")
                           .arg(8 + seq % 12, 2, 10, QLatin1Char('0'))
                           .arg(seq % 60, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("非会员"));
        q.addBindValue(QStringLiteral("主仓库"));
        q.addBindValue(count);
        q.addBindValue(tendered);
        q.addBindValue(tendered - total);
        q.addBindValue(h % 5 ? QStringLiteral("现金") : QStringLiteral("银行卡"));
        if (!w.run(q))
            return *error = w.error(), false;
    }
    return true;
}

// Suppliers and stock-in vouchers spread over the same days as the sales, each with five lines;
// every other voucher is paid, the rest still owe their discounted amount.
bool fillStock(DbConnection& conn, const Sizes& n, QString* error)
{
    QSqlDatabase& db = conn.database();
    Writer w(db);
    std::mt19937 rng(20240306);
    std::uniform_int_distribution<int> anyProduct(1, n.products);
    std::uniform_int_distribution<int> cost(10, 16000); // fen
    std::uniform_int_distribution<int> qty(1, 48);
    QSqlQuery q(db);
    if (!w.prepare(q, QStringLiteral("insert into gysxx(gysbh,gysmc) values(?,?)")))
        return *error = w.error(), false;
    QStringList suppliers;
    for (int i = 1; i <= n.suppliers; ++i) {
        suppliers << QStringLiteral("第%1食品批发部").arg(i);
        q.addBindValue(QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
        q.addBindValue(suppliers.last());
        if (!w.run(q))
            return *error = w.error(), false;
    }
    if (suppliers.isEmpty())
        suppliers << QStringLiteral("批发部");
    QSqlQuery line(db);
    if (!w.prepare(q, QStringLiteral("insert into jinhuodan(djbh,rq,sj,gysmc,zdy,zhekou,hjje,zkje,qkje,hkje) "
                                     "values(?,?,?,?,?,?,?,?,?,?)")) ||
        !w.prepare(line, QStringLiteral("insert into jinhuodanrecord(spbh,spmc,spxh,spgg,spjl,splb,sl,jinjia,jine,"
                                        "zhekou,djbh,rq) values(?,?,?,?,?,?,?,?,?,?,?,?)")))
        return *error = w.error(), false;
    const QDate first = QDate::currentDate().addDays(-n.days);
    for (int h = 0; h < n.stockVouchers; ++h) {
        const int day = int(qint64(h) * n.days / n.stockVouchers);
        const int seq = h - int((qint64(day) * n.stockVouchers + n.days - 1) / n.days) + 1;
        const QDate date = first.addDays(day);
        const QString rq = date.toString(QStringLiteral("yyyy-MM-dd"));
        const QString djbh =
            QStringLiteral("RK01%1%2").arg(date.toString(QStringLiteral("yyyyMMdd"))).arg(seq, 4, 10, QLatin1Char('0'));
        double total = 0;
        for (int k = 0; k < 5; ++k) {
            const int i = anyProduct(rng);
            const double sl = qty(rng);
            const double jinjia = cost(rng) / 100.0;
            total += sl * jinjia;
            line.addBindValue(productNumber(i));
            line.addBindValue(QStringLiteral("商品%1").arg(i));
            line.addBindValue(QString());
            line.addBindValue(QStringLiteral("标准"));
            line.addBindValue(QStringLiteral("个"));
            line.addBindValue(QStringLiteral("食品"));
            line.addBindValue(sl);
            line.addBindValue(jinjia);
            line.addBindValue(sl * jinjia);
            line.addBindValue(1.0);
            line.addBindValue(djbh);
            line.addBindValue(rq);
            if (!w.run(line))
                return *error = w.error(), false;
        }
        const bool paid = h % 2 == 0;
        q.addBindValue(djbh);
        q.addBindValue(rq);
        q.addBindValue(QStringLiteral("10:%1:00").arg(seq % 60, 2, 10, QLatin1Char('0')));
        q.addBindValue(suppliers[h % suppliers.size()]);
        q.addBindValue(QStringLiteral("库管"));
        q.addBindValue(1.0);
        q.addBindValue(total);
        q.addBindValue(total);
        q.addBindValue(paid ? 0.0 : total);
        q.addBindValue(paid ? total : 0.0);
        if (!w.run(q))
            return *error = w.error(), false;
    }
    if (!w.prepare(q, QStringLiteral("insert into pdjl(spbh,spmc,yssl,pdsl,czy,rq,sj) values(?,?,?,?,?,?,?)")))
        return *error = w.error(), false;
    std::uniform_int_distribution<int> shrinkage(0, 5);
    for (int c = 0; c < n.counts; ++c) {
        const int i = anyProduct(rng);
        const QDate date = first.addDays(int(qint64(c) * n.days / qMax(1, n.counts)));
        q.addBindValue(productNumber(i));
        q.addBindValue(QStringLiteral("商品%1").arg(i));
        q.addBindValue(1000000.0);
        q.addBindValue(1000000.0 - shrinkage(rng));
        q.addBindValue(QStringLiteral("库管"));
        q.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd")));
        q.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 18:00:00"));
        if (!w.run(q))
            return *error = w.error(), false;
    }
    return true;
}

bool readInt(const QStringList& args, int& i, int* value)
{
    bool ok = false;
    if (i + 1 < args.size())
        *value = args[++i].toInt(&ok);
    return ok && *value >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Sizes n;
    QString folder;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QLatin1String("--products"))
            ok = readInt(args, i, &n.products) && n.products > 0;
        else if (a == QLatin1String("--headers"))
            ok = readInt(args, i, &n.headers);
        else if (a == QLatin1String("--lines-per-voucher"))
            ok = readInt(args, i, &n.linesPerVoucher);
        else if (a == QLatin1String("--members"))
            ok = readInt(args, i, &n.members);
        else if (a == QLatin1String("--days"))
            ok = readInt(args, i, &n.days) && n.days > 0;
        else if (a == QLatin1String("--stock-vouchers"))
            ok = readInt(args, i, &n.stockVouchers);
        else if (a == QLatin1String("--suppliers"))
            ok = readInt(args, i, &n.suppliers);
        else if (a == QLatin1String("--counts"))
            ok = readInt(args, i, &n.counts);
        else if (folder.isEmpty() && !a.startsWith(QLatin1String("--")))
            folder = a;
        else
            ok = false;
        if (!ok) {
            err() << "make_shop: bad argument " << a << "\n";
            return 2;
        }
    }
    if (folder.isEmpty()) {
        err() << "usage: make_shop FOLDER [--products N] [--headers N] [--lines-per-voucher N] [--members N] [--days "
                 "N] [--stock-vouchers N] [--suppliers N] [--counts N]\n";
        return 2;
    }
    if (n.headers > n.days * 9999 || n.stockVouchers > n.days * 9999) {
        err() << "make_shop: at most 9999 vouchers a day\n";
        return 2;
    }
    if (!QDir().mkpath(folder)) {
        err() << "make_shop: cannot create " << folder << "\n";
        return 1;
    }
    const QString file = QDir(folder).absoluteFilePath(QStringLiteral("pos.mdb"));
    QElapsedTimer timer;
    timer.start();
    QString error;
    Setup::Options options;
    options.shopName = QStringLiteral("基准超市");
    if (!Setup::createDatabase(file, options, &error)) {
        err() << "make_shop: " << error << "\n";
        return 1;
    }
    DbConnection db(file);
    if (!db.open()) {
        err() << "make_shop: " << db.lastError() << "\n";
        return 1;
    }
    if (!db.transaction([&] { return fill(db, n, &error) && fillStock(db, n, &error); })) {
        err() << "make_shop: " << (error.isEmpty() ? db.lastError() : error) << "\n";
        db.close();
        QFile::remove(file);
        return 1;
    }
    db.exec(QStringLiteral("analyze"));
    db.close();
    out() << "make_shop: " << file << ": " << n.products << " products with stock rows, " << n.members << " members, "
          << n.headers << " sales vouchers with " << qint64(n.headers) * n.linesPerVoucher << " lines, " << n.suppliers
          << " suppliers, " << n.stockVouchers << " stock-in vouchers with " << qint64(n.stockVouchers) * 5
          << " lines, " << n.counts << " stock counts, in " << timer.elapsed() / 1000.0 << " s\n";
    return 0;
}
