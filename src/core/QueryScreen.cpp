#include "core/QueryScreen.h"

#include "core/Clock.h"
#include "core/Ui.h"
#include "core/export/ExportDBGrid.h"

#include <QDate>

const QString QueryScreen::Rq1 = QStringLiteral("rq1");
const QString QueryScreen::Rq2 = QStringLiteral("rq2");

QueryScreen::QueryScreen(Ui& ui, bool hasDates) : m_ui(ui), m_hasDates(hasDates) {}

QueryScreen::~QueryScreen()
{
    m_db.close();
}

bool QueryScreen::create()
{
    if (m_hasDates) {
        m_fields.insert(Rq1, Clock::todayText());
        m_fields.insert(Rq2, Clock::todayText());
    }
    if (!m_db.open()) {
        m_ui.showError(m_db.lastError());
        return false;
    }
    // A query reads much of a big shop's file: mapped pages cost no system call each. Where
    // the system cannot map the file, SQLite reads it as before.
    m_db.exec(QStringLiteral("pragma mmap_size=1073741824"));
    return true;
}

QString QueryScreen::text(const QString& field) const
{
    return m_fields.value(field);
}

void QueryScreen::setText(const QString& field, const QString& text)
{
    m_fields.insert(field, text);
}

bool QueryScreen::checkDate(const QString& field, const QString& label)
{
    const QString t = text(field).trimmed();
    if (QDate::fromString(t, QStringLiteral("yyyy-MM-dd")).isValid()) {
        m_fields.insert(field, t);
        return true;
    }
    m_ui.showMessage(QStringLiteral("“%1”的日期不正确：%2，请按 年-月-日 输入").arg(label, text(field)));
    return false;
}

void QueryScreen::clearResult()
{
    m_queried = false;
    m_sql.clear();
    m_params.clear();
    m_result.reset();
    m_chart = ChartData{};
}

bool QueryScreen::query()
{
    if (m_hasDates && (!checkDate(Rq1, QStringLiteral("从")) || !checkDate(Rq2, QStringLiteral("至"))))
        return false;
    clearResult();
    QString error;
    if (!run(text(Rq1), text(Rq2), &error)) {
        clearResult();
        m_ui.showError(error);
        return false;
    }
    m_queried = true;
    return true;
}

void QueryScreen::setResult(const QString& sql, const QVariantMap& params)
{
    m_sql = sql;
    m_params = params;
    m_result.reset();
}

Query* QueryScreen::result()
{
    if (!m_queried)
        return nullptr;
    if (!m_result) {
        auto q = std::make_unique<Query>(m_db);
        q->setSql(m_sql);
        for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
            q->bind(it.key(), it.value());
        if (!q->open()) {
            m_ui.showError(q->lastError());
            return nullptr;
        }
        m_result = std::move(q);
    }
    return m_result.get();
}

QString QueryScreen::notQueriedMessage() const
{
    return QStringLiteral("请先查询");
}

bool QueryScreen::exportGrid()
{
    if (!m_queried) {
        m_ui.showMessage(notQueriedMessage());
        return false;
    }
    Query* rows = result();
    if (!rows)
        return false;
    return ExportDBGrid(m_ui, *rows);
}
