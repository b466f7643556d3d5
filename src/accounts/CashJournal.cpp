#include "accounts/CashJournal.h"

const QueryScreenSpec& CashJournal::screenSpec()
{
    using F = GridColumn::Format;
    static const QueryScreenSpec spec = [] {
        QueryScreenSpec s;
        s.formName = QStringLiteral("Txjls_form");
        s.caption = QStringLiteral("现金流水账");
        s.banner = QStringLiteral("现金流水账");
        s.printTitle = QStringLiteral("现金流水账");
        s.columns = {
            {QStringLiteral("sj"), QStringLiteral("时间"), 150},
            {QStringLiteral("neirong"), QStringLiteral("内容"), 100},
            {QStringLiteral("jiaje"), QStringLiteral("增加金额"), 90, F::Money},
            {QStringLiteral("jianje"), QStringLiteral("减去金额"), 90, F::Money},
            {QStringLiteral("ye"), QStringLiteral("余额"), 100, F::Money},
            {QStringLiteral("shuoming"), QStringLiteral("说明"), 220},
            {QStringLiteral("czy"), QStringLiteral("操作员"), 90},
        };
        s.hasDates = true;
        s.hasChart = false;
        s.notQueried = QStringLiteral("先查询后打印");
        return s;
    }();
    return spec;
}

CashJournal::CashJournal(Ui& ui) : QueryScreen(screenSpec(), ui) {}

CashJournal::~CashJournal() = default;

bool CashJournal::run(const QString& rq1, const QString& rq2, QString*)
{
    // The journal has no key column of its own; its row id is the order the rows were added in.
    setResult(QStringLiteral("select * from xjls where rq>=:RQ1 and rq<=:RQ2 order by rowid"),
              {{QStringLiteral("RQ1"), rq1}, {QStringLiteral("RQ2"), rq2}});
    return true;
}
