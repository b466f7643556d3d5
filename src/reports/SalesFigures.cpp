#include "reports/SalesFigures.h"

#include "core/DbConnection.h"

#include <QDate>
#include <QHash>
#include <QMap>

namespace SalesFigures {

namespace {

const QString kRq1 = QStringLiteral("RQ1");
const QString kRq2 = QStringLiteral("RQ2");

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

void bindRange(Query& q, const QString& rq1, const QString& rq2)
{
    q.bind(kRq1, rq1);
    q.bind(kRq2, rq2);
}

// Names under the bars: the product's name, with its number where two bars would read alike.
QStringList barLabels(const QStringList& names, const QStringList& numbers)
{
    QHash<QString, int> seen;
    for (const QString& n : names)
        ++seen[n];
    QStringList labels;
    for (int i = 0; i < names.size(); ++i) {
        QString label = names[i].trimmed().isEmpty() ? numbers[i]
                        : seen.value(names[i]) > 1   ? QStringLiteral("%1（%2）").arg(names[i], numbers[i])
                                                     : names[i];
        // Qt's category axis keeps a category once; a product listed twice gets a counter.
        const QString base = label;
        for (int k = 2; labels.contains(label); ++k)
            label = QStringLiteral("%1 #%2").arg(base).arg(k);
        labels << label;
    }
    return labels;
}

} // namespace

bool profitQuery(DbConnection& db, const QString& rq1, const QString& rq2, Result* result, QString* error)
{
    result->sql =
        QStringLiteral("select a.rq,a.spmc,a.spxh,a.spgg,a.splb,a.sl,a.sale1,a.jine,b.jinjia,(b.jinjia*a.sl) as c1,"
                       "(a.sale1-b.jinjia) as c2, (a.sale1-b.jinjia)*a.sl as c3 from xiaoshoudrecord a,spinfo b "
                       "where rq>=:RQ1 and rq<=:RQ2 and a.spbh=b.spbh\norder by a.rq,a.ID");
    result->params = {{kRq1, rq1}, {kRq2, rq2}};

    // The chart sums the same lines per day.
    Query q(db);
    q.add(QStringLiteral("select a.rq,sum(a.jine) as xsje,sum((a.sale1-b.jinjia)*a.sl) as xslr"));
    q.add(QStringLiteral("from xiaoshoudrecord a,spinfo b where rq>=:RQ1 and rq<=:RQ2 and a.spbh=b.spbh"));
    q.add(QStringLiteral("group by a.rq"));
    bindRange(q, rq1, rq2);
    if (!q.open())
        return fail(error, q.lastError());

    QMap<QString, QPair<double, double>> days;
    const QDate from = QDate::fromString(rq1, Qt::ISODate);
    const QDate to = QDate::fromString(rq2, Qt::ISODate);
    if (from.isValid() && to.isValid() && from <= to && from.daysTo(to) < ChartedDaysFilled) {
        for (QDate d = from; d <= to; d = d.addDays(1))
            days.insert(d.toString(Qt::ISODate), {0.0, 0.0});
    }
    for (bool more = q.first(); more; more = q.next())
        days.insert(q.text(QStringLiteral("rq")), {q.number(QStringLiteral("xsje")), q.number(QStringLiteral("xslr"))});

    ChartData& chart = result->chart;
    chart = ChartData{};
    chart.kind = ChartData::Kind::Line;
    chart.title = QStringLiteral("每日销售金额与销售利润");
    chart.valueTitle = QStringLiteral("金额（元）");
    ChartSeries sales{QStringLiteral("销售金额"), {}};
    ChartSeries profit{QStringLiteral("销售利润"), {}};
    for (auto it = days.cbegin(); it != days.cend(); ++it) {
        chart.categories << it.key();
        sales.values << it.value().first;
        profit.values << it.value().second;
    }
    chart.series = {sales, profit};
    return true;
}

bool ranking(DbConnection& db, const QString& rq1, const QString& rq2, Result* result, QString* error)
{
    // One grouped statement instead of one sum per product: every product is listed, those
    // without sales in the range at 0.
    const bool filled = db.transaction([&] {
        Query q(db);
        q.setSql(QStringLiteral("delete from spxsph"));
        if (!q.execute())
            return false;
        q.clear();
        q.add(QStringLiteral("insert into spxsph(spbh,spmc,spxh,spgg,splb,spjl,spsl)"));
        q.add(QStringLiteral(" select a.spbh,a.spmc,a.spxh,a.spgg,a.splb,a.spjl,coalesce(b.psl,0) from spinfo a"));
        q.add(QStringLiteral(" left join (select spbh,sum(sl) as psl from xiaoshoudrecord"));
        q.add(QStringLiteral("  where rq>=:RQ1 and rq<=:RQ2 group by spbh) b on a.spbh=b.spbh"));
        bindRange(q, rq1, rq2);
        return q.execute();
    });
    if (!filled)
        return fail(error, db.lastError());

    result->sql = QStringLiteral("select * from spxsph order by spsl desc,spbh");
    result->params.clear();

    Query q(db);
    q.setSql(QStringLiteral("select spbh,spmc,spsl from spxsph where spsl>0 order by spsl desc,spbh limit %1")
                 .arg(ChartedBestSellers));
    if (!q.open())
        return fail(error, q.lastError());
    QStringList names, numbers;
    ChartSeries sold{QStringLiteral("销售数量"), {}};
    for (bool more = q.first(); more; more = q.next()) {
        names << q.text(QStringLiteral("spmc"));
        numbers << q.text(QStringLiteral("spbh"));
        sold.values << q.number(QStringLiteral("spsl"));
    }
    ChartData& chart = result->chart;
    chart = ChartData{};
    chart.kind = ChartData::Kind::HorizontalBar;
    chart.title = QStringLiteral("销售数量前%1名").arg(ChartedBestSellers);
    chart.valueTitle = QStringLiteral("销售数量");
    chart.categories = barLabels(names, numbers);
    chart.series = {sold};
    return true;
}

bool statementTotals(DbConnection& db, const QString& rq1, const QString& rq2, Totals* totals, QString* error)
{
    struct Sum {
        double* value;
        const char* sql;
    };
    const Sum sums[] = {
        {&totals->sr1, "select sum(zhje) as pje from xiaoshoud where rq>=:RQ1 and rq<=:RQ2"},
        {&totals->zc1, "select sum(zhje) as pje from xiaoshoudth where rq>=:RQ1 and rq<=:RQ2"},
        {&totals->zc2, "select sum(jine) as pje from jine where rq>=:RQ1 and rq<=:RQ2"},
        {&totals->sr2, "select sum(jine) as pje from jine2 where rq>=:RQ1 and rq<=:RQ2"},
        {&totals->zc3, "select sum(hjje) as pje from jinhuodanbf where rq>=:RQ1 and rq<=:RQ2"},
    };
    Query q(db);
    for (const Sum& s : sums) {
        q.setSql(QString::fromLatin1(s.sql));
        bindRange(q, rq1, rq2);
        if (!q.open())
            return fail(error, q.lastError());
        *s.value = q.number(QStringLiteral("pje"));
    }
    totals->zhlr = totals->sr1 + totals->sr2 - totals->zc1 - totals->zc2 - totals->zc3;
    return true;
}

bool statement(DbConnection& db, const QString& rq1, const QString& rq2, Result* result, QString* error)
{
    Totals t;
    QString problem;
    // The sums and the row they make are read and written as one, so the row never mixes
    // figures from before and after another screen's posting.
    const bool filled = db.transaction([&] {
        Query q(db);
        q.setSql(QStringLiteral("delete from zhlr"));
        if (!q.execute())
            return false;
        if (!statementTotals(db, rq1, rq2, &t, &problem)) {
            db.setError(problem);
            return false;
        }
        q.clear();
        q.add(QStringLiteral("insert into zhlr(sr1,sr2,zc1,zc2,zc3,zhlr)"));
        q.add(QStringLiteral("values(:SR1,:SR2,:ZC1,:ZC2,:ZC3,:ZHLR)"));
        q.bind(QStringLiteral("SR1"), t.sr1);
        q.bind(QStringLiteral("SR2"), t.sr2);
        q.bind(QStringLiteral("ZC1"), t.zc1);
        q.bind(QStringLiteral("ZC2"), t.zc2);
        q.bind(QStringLiteral("ZC3"), t.zc3);
        q.bind(QStringLiteral("ZHLR"), t.zhlr);
        return q.execute();
    });
    if (!filled)
        return fail(error, db.lastError());

    result->sql = QStringLiteral("select *  from zhlr");
    result->params.clear();

    // Income, spending and the profit in their own colours, one bar per figure.
    ChartData& chart = result->chart;
    chart = ChartData{};
    chart.kind = ChartData::Kind::StackedBar;
    chart.title = QStringLiteral("销售利润统计");
    chart.valueTitle = QStringLiteral("金额（元）");
    chart.categories = {QStringLiteral("商品销售额"),     QStringLiteral("供应商退货额"),
                        QStringLiteral("商品销售退款额"), QStringLiteral("供应商应付额"),
                        QStringLiteral("商品损坏金额"),   QStringLiteral("利润")};
    chart.series = {{QStringLiteral("收入"), {t.sr1, t.sr2, 0, 0, 0, 0}},
                    {QStringLiteral("支出"), {0, 0, t.zc1, t.zc2, t.zc3, 0}},
                    {QStringLiteral("利润"), {0, 0, 0, 0, 0, t.zhlr}}};
    return true;
}

} // namespace SalesFigures
