#include "accounts/CashJournal.h"

#include "core/Clock.h"
#include "core/Ui.h"
#include "core/export/ExportDBGrid.h"
#include "core/print/GridPrint.h"

#include <QDate>

const QString CashJournal::Rq1 = QStringLiteral("rq1");
const QString CashJournal::Rq2 = QStringLiteral("rq2");
const QString CashJournal::Search = QStringLiteral("ToolButton3");
const QString CashJournal::Export = QStringLiteral("ToolButton10");
const QString CashJournal::Print = QStringLiteral("ToolButton1");
const QString CashJournal::Close = QStringLiteral("ToolButton5");

const GridColumns& CashJournal::columns()
{
    using F = GridColumn::Format;
    static const GridColumns list{
        {QStringLiteral("sj"), QStringLiteral("时间"), 140},
        {QStringLiteral("neirong"), QStringLiteral("内容"), 100},
        {QStringLiteral("jiaje"), QStringLiteral("增加金额"), 90, F::Money},
        {QStringLiteral("jianje"), QStringLiteral("减去金额"), 90, F::Money},
        {QStringLiteral("ye"), QStringLiteral("余额"), 100, F::Money},
        {QStringLiteral("shuoming"), QStringLiteral("说明"), 200},
        {QStringLiteral("czy"), QStringLiteral("操作员"), 80},
    };
    return list;
}

namespace {

// Both days included, compared as text; the rows in the order they were added.
const QString kStatement = QStringLiteral("select * from xjls where rq>=:RQ1 and rq<=:RQ2 order by rowid");

} // namespace

CashJournal::CashJournal(Ui& ui) : FormState(ui), m_rows(db(), kStatement) {}

CashJournal::~CashJournal() = default;

bool CashJournal::create()
{
    if (!openConnection())
        return false;
    setText(Rq1, Clock::todayText());
    setText(Rq2, Clock::todayText());
    return true;
}

bool CashJournal::search()
{
    for (const QString& field : {Rq1, Rq2}) {
        if (!QDate::fromString(text(field), QStringLiteral("yyyy-MM-dd")).isValid()) {
            ui().showMessage(QStringLiteral("日期“%1”不正确，请按“年-月-日”输入").arg(text(field)));
            focus(field, true);
            return false;
        }
    }
    m_rows.bind(QStringLiteral("RQ1"), text(Rq1));
    m_rows.bind(QStringLiteral("RQ2"), text(Rq2));
    m_searched = m_rows.reload();
    if (!m_searched) {
        dbError(m_rows.lastError());
        return false;
    }
    return true;
}

bool CashJournal::readAll(Query& all)
{
    if (!m_searched)
        return false;
    all.setSql(kStatement);
    all.bind(QStringLiteral("RQ1"), text(Rq1));
    all.bind(QStringLiteral("RQ2"), text(Rq2));
    if (!all.open()) {
        dbError(all.lastError());
        return false;
    }
    return true;
}

bool CashJournal::exportRows()
{
    // Any failure, nothing searched yet included, gets the one message.
    Query all(db());
    QString error;
    if (!m_searched || !readAll(all) || !ExportDBGrid(ui(), all, columns(), &error)) {
        ui().showMessage(QStringLiteral("先查询后打印"));
        return false;
    }
    return true;
}

bool CashJournal::print()
{
    Query all(db());
    if (m_searched && !readAll(all))
        return false;
    return GridPrint::print(ui(), printTitle(), columns(), all);
}
