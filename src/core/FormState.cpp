#include "core/FormState.h"

#include "core/Ui.h"

FormState::FormState(Ui& ui) : m_ui(ui) {}

FormState::~FormState() = default;

bool FormState::openConnection()
{
    if (m_db.isOpen())
        return true;
    if (!m_db.open()) {
        m_ui.showError(m_db.lastError());
        return false;
    }
    return true;
}

QString FormState::text(const QString& field) const
{
    return m_fields.value(field);
}

void FormState::setText(const QString& field, const QString& text)
{
    setField(field, text);
}

void FormState::clearFields(const QStringList& fields)
{
    for (const QString& f : fields)
        m_fields[f].clear();
}

bool FormState::isEnabled(const QString& name) const
{
    return !m_disabled.contains(name);
}

void FormState::setEnabled(const QString& name, bool enabled)
{
    if (enabled)
        m_disabled.remove(name);
    else
        m_disabled.insert(name);
}

void FormState::setFocusField(const QString& field)
{
    m_focus = field;
    m_selectAll = false;
}

void FormState::focus(const QString& field, bool selectAll)
{
    m_focus = field;
    m_selectAll = selectAll;
}

void FormState::setEnterOrder(const QStringList& fields, std::function<void()> onLast, bool wrap)
{
    m_enterOrder = fields;
    m_enterLast = std::move(onLast);
    m_enterWraps = wrap;
}

void FormState::enterPressed(const QString& field)
{
    const qsizetype at = m_enterOrder.indexOf(field);
    if (at < 0)
        return;
    if (at + 1 < m_enterOrder.size()) {
        focus(m_enterOrder.at(at + 1));
        return;
    }
    if (m_enterLast)
        m_enterLast();
    else if (m_enterWraps && !m_enterOrder.isEmpty())
        focus(m_enterOrder.first());
}

void FormState::dbError(const QString& text) const
{
    m_ui.showError(text);
}
