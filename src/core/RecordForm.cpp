#include "core/RecordForm.h"

#include "core/DbConnection.h"
#include "core/Ui.h"

const QString RecordForm::Confirm = QStringLiteral("confirm");
const QString RecordForm::Save = QStringLiteral("save");

RecordForm::RecordForm(const RecordKind& kind, Mode mode, Ui& ui) : FormState(ui), m_kind(kind), m_mode(mode)
{
    QStringList order;
    for (const FormField& f : fields())
        order << f.name;
    setEnterOrder(order);
}

RecordForm::~RecordForm() = default;

const FormFields& RecordForm::fields() const
{
    return m_mode == Mode::Add ? m_kind.addFields : m_kind.editFields;
}

QString RecordForm::formName() const
{
    return m_mode == Mode::Add ? m_kind.addForm : m_kind.editForm;
}

QString RecordForm::caption() const
{
    return m_mode == Mode::Add ? m_kind.addCaption : m_kind.editCaption;
}

QString RecordForm::keyFieldName() const
{
    for (const FormField& f : fields())
        if (f.columnName() == m_kind.keyField)
            return f.name;
    return m_kind.keyField;
}

bool RecordForm::create(const QString& key)
{
    if (!openConnection() || !loadChoices())
        return false;
    resetFields();
    if (m_mode == Mode::Add) {
        setEnabled(Confirm, false);
        focus(fields().value(0).name);
        return true;
    }
    setEnabled(Save, !m_kind.saveNeedsChange);
    m_cursor = std::make_unique<RecordCursor>(db(), m_kind.browseQuery, m_kind.keyField);
    if (!m_cursor->open()) {
        dbError(m_cursor->lastError());
        return false;
    }
    if (!key.isEmpty())
        m_cursor->moveTo(key);
    fill();
    focus(fields().value(0).name);
    return true;
}

bool RecordForm::loadChoices()
{
    for (const FormField& f : fields()) {
        if (f.kind != FormField::Kind::Choice)
            continue;
        QStringList items = f.fixedChoices;
        if (!f.choiceQuery.isEmpty()) {
            Query q(db());
            q.setSql(f.choiceQuery);
            if (!q.open()) {
                dbError(q.lastError());
                return false;
            }
            for (bool more = q.first(); more; more = q.next())
                items << q.text(f.choiceColumn);
        }
        m_choices.insert(f.name, items);
    }
    return true;
}

void RecordForm::resetFields()
{
    for (const FormField& f : fields())
        setText(f.name, f.start);
}

void RecordForm::fill()
{
    if (!m_cursor)
        return;
    for (const FormField& f : fields())
        setText(f.name, m_cursor->text(f.columnName()));
}

void RecordForm::edited(const QString& field, const QString& text)
{
    setText(field, text);
    if (m_mode == Mode::Add) {
        if (field == keyFieldName())
            setEnabled(Confirm, true);
    } else if (m_kind.saveNeedsChange && field != keyFieldName()) {
        setEnabled(Save, true);
    }
}

void RecordForm::enterPressed(const QString& field)
{
    const FormFields& fs = fields();
    if (fs.isEmpty() || fs.last().name != field) {
        FormState::enterPressed(field);
        return;
    }
    // The last field: the dialog's button when it may be pressed.
    const QString button = m_mode == Mode::Add ? Confirm : Save;
    const bool pressesButton = m_mode == Mode::Add || m_kind.saveNeedsChange;
    if (pressesButton && isEnabled(button)) {
        if (m_mode == Mode::Add)
            confirm();
        else
            save();
        return;
    }
    if (m_mode == Mode::Add ? m_kind.addEnterWraps : m_kind.editEnterWraps)
        focus(fs.first().name);
}

bool RecordForm::checkAdd()
{
    return true;
}

bool RecordForm::checkEdit()
{
    return true;
}

void RecordForm::bindFields(Query& q) const
{
    for (const FormField& f : fields())
        q.bind(f.columnName(), text(f.name));
}

void RecordForm::saveFailed(const QString& error)
{
    ui().showError(QStringLiteral("数据保存失败") + (error.isEmpty() ? QString() : QLatin1Char('\n') + error));
}

bool RecordForm::writeAdd()
{
    Query q(db());
    q.setSql(m_kind.insertSql);
    bindFields(q);
    if (!q.execute()) {
        saveFailed(q.lastError());
        return false;
    }
    return true;
}

bool RecordForm::writeEdit()
{
    Query q(db());
    q.setSql(m_kind.updateSql);
    bindFields(q);
    // The row's code as stored, whatever the code field shows.
    q.bind(m_kind.keyField, currentKey());
    if (!q.execute()) {
        saveFailed(q.lastError());
        return false;
    }
    return true;
}

bool RecordForm::confirm()
{
    if (m_mode != Mode::Add || !isEnabled(Confirm))
        return false;
    if (!checkAdd() || !writeAdd())
        return false;
    ui().showMessage(QStringLiteral("保存成功"));
    resetFields();
    setEnabled(Confirm, false);
    focus(fields().value(0).name);
    return true;
}

bool RecordForm::save()
{
    if (m_mode != Mode::Edit || !m_cursor || !isEnabled(Save))
        return false;
    if (m_cursor->isEmpty()) {
        ui().showMessage(QStringLiteral("没有可以保存的记录"));
        return false;
    }
    if (!checkEdit() || !writeEdit())
        return false;
    if (!m_cursor->reload()) {
        saveFailed(m_cursor->lastError());
        return false;
    }
    fill();
    ui().showMessage(QStringLiteral("保存成功"));
    if (m_kind.saveNeedsChange)
        setEnabled(Save, false);
    focus(fields().value(0).name);
    return true;
}

void RecordForm::afterMove()
{
    const auto editable = [this] {
        QStringList texts;
        for (const FormField& f : fields())
            if (!f.readOnly)
                texts << text(f.name);
        return texts;
    };
    const QStringList before = editable();
    fill();
    if (!m_kind.saveNeedsChange)
        return;
    if (!m_kind.moveCountsAsChange)
        setEnabled(Save, false);
    else if (editable() != before)
        setEnabled(Save, true);
}

void RecordForm::first()
{
    if (m_cursor && m_cursor->first())
        afterMove();
}

void RecordForm::prior()
{
    if (m_cursor && m_cursor->prior())
        afterMove();
}

void RecordForm::next()
{
    if (m_cursor && m_cursor->next())
        afterMove();
}

void RecordForm::last()
{
    if (m_cursor && m_cursor->last())
        afterMove();
}
