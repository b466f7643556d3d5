#include "core/FormState.h"

#include "core/Dialogs.h"
#include "core/Ui.h"

const QString FormState::None = QStringLiteral("~");

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

bool FormState::ask(const QString& question, Ui::Icon icon)
{
    return m_ui.confirm(QStringLiteral("系统提示"), question, icon);
}

QStringList FormState::pick(const QString& form)
{
    const PickerSpec spec = Dialogs::picker(form);
    QStringList answers(spec.answerFields.size(), None);
    m_ui.pick(spec, answers);
    return answers;
}

QStringList FormState::pickInto(const QString& form, const QString& field)
{
    const QStringList answers = pick(form);
    if (!answers.isEmpty() && answers.constLast() != None)
        setText(field, answers.constLast());
    return answers;
}

QString FormState::prompt(const QString& form)
{
    QString answer = None;
    m_ui.prompt(Dialogs::prompt(form), answer);
    return answer;
}

bool FormState::write(const std::function<bool(QString* error)>& body, QString* error)
{
    error->clear();
    if (m_db.transaction([&] { return body(error); }))
        return true;
    if (error->isEmpty())
        *error = m_db.lastError();
    return false;
}

bool FormState::execute(Query& q, QString* error)
{
    if (q.execute())
        return true;
    *error = q.lastError();
    return false;
}
