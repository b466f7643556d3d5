#include "core/QueryScreen.h"

#include "core/Clock.h"
#include "core/Ui.h"
#include "core/export/ExportDBGrid.h"
#include "core/print/GridPrint.h"

#include <QDate>
#include <QPainter>
#include <QRectF>

const QString QueryScreen::Rq1 = QStringLiteral("rq1");
const QString QueryScreen::Rq2 = QStringLiteral("rq2");

QueryScreen::QueryScreen(const QueryScreenSpec& spec, Ui& ui) : FormState(ui), m_spec(spec) {}

QueryScreen::~QueryScreen() = default;

bool QueryScreen::create()
{
    if (m_spec.hasDates) {
        setText(Rq1, Clock::todayText());
        setText(Rq2, Clock::todayText());
        setEnterOrder({Rq1, Rq2}, [this] { query(); });
        focus(Rq1);
    }
    if (!openConnection())
        return false;
    // A query reads much of a big shop's file: mapped pages cost no system call each. Where the
    // system cannot map the file, SQLite reads it as before.
    db().exec(QStringLiteral("pragma mmap_size=1073741824"));
    return true;
}

bool QueryScreen::checkDate(const QString& field, const QString& label)
{
    const QString t = text(field).trimmed();
    if (QDate::fromString(t, QStringLiteral("yyyy-MM-dd")).isValid()) {
        setText(field, t);
        return true;
    }
    ui().showMessage(QStringLiteral("“%1”的日期不正确：%2，请按 年-月-日 输入").arg(label, text(field)));
    focus(field, true);
    return false;
}

void QueryScreen::clearResult()
{
    m_queried = false;
    m_sql.clear();
    m_params.clear();
    m_rows.reset();
    m_result.reset();
    m_chart = ChartData{};
}

bool QueryScreen::query()
{
    if (m_spec.hasDates && (!checkDate(Rq1, QStringLiteral("从")) || !checkDate(Rq2, QStringLiteral("至"))))
        return false;
    clearResult();
    ++m_generation;
    QString error;
    bool ok = run(m_spec.hasDates ? text(Rq1) : QString(), m_spec.hasDates ? text(Rq2) : QString(), &error);
    if (ok) {
        m_rows = std::make_shared<PagedQuery>(db(), m_sql);
        for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
            m_rows->bind(it.key(), it.value());
        ok = m_rows->reload();
        if (!ok)
            error = m_rows->lastError();
    }
    if (!ok) {
        clearResult();
        dbError(error);
        return false;
    }
    m_queried = true;
    return true;
}

void QueryScreen::setResult(const QString& sql, const QVariantMap& params)
{
    m_sql = sql;
    m_params = params;
}

Query* QueryScreen::result()
{
    if (!m_queried)
        return nullptr;
    if (!m_result) {
        auto q = std::make_unique<Query>(db());
        q->setSql(m_sql);
        for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
            q->bind(it.key(), it.value());
        if (!q->open()) {
            dbError(q->lastError());
            return nullptr;
        }
        m_result = std::move(q);
    }
    return m_result.get();
}

bool QueryScreen::refuseBeforeQuery()
{
    if (m_queried)
        return false;
    ui().showMessage(m_spec.notQueried);
    return true;
}

bool QueryScreen::exportGrid()
{
    if (refuseBeforeQuery())
        return false;
    Query* rows = result();
    return rows && ExportDBGrid(ui(), *rows, m_spec.columns);
}

bool QueryScreen::print(const GridColumns& shown, const ChartPainter& chart)
{
    if (refuseBeforeQuery())
        return false;
    Query* rows = result();
    if (!rows)
        return false;
    GridPrint::ExtraPage chartPage;
    if (chart && !m_chart.isEmpty())
        chartPage = [&chart](QPainter& painter, const QRect& area) { chart(painter, QRectF(area)); };
    return GridPrint::print(ui(), m_spec.printTitle, shown, *rows, 0, chartPage);
}
