#include "core/ui/FormBuilder.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

FormBuilder::FormBuilder(QWidget* owner) : QObject(owner), m_owner(owner) {}

QString FormBuilder::accessibleName(const QString& label)
{
    QString name = label;
    name.remove(QRegularExpression(QStringLiteral("\\s")));
    // "筛选(&F)：" is told as "筛选".
    name.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|[：:]$")));
    return name;
}

QGridLayout* FormBuilder::build(const FormFields& fields, const QHash<QString, QStringList>& choices, int columns)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    const int perColumn = int((fields.size() + columns - 1) / qMax(1, columns));
    for (int i = 0; i < fields.size(); ++i) {
        const FormField& f = fields.at(i);
        const int row = perColumn > 0 ? i % perColumn : i;
        const int col = (perColumn > 0 ? i / perColumn : 0) * 3;
        QWidget* entry = nullptr;
        switch (f.kind) {
        case FormField::Kind::Choice: {
            auto* box = new QComboBox(m_owner);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->addItems(choices.value(f.name));
            box->lineEdit()->installEventFilter(this);
            box->lineEdit()->setProperty("posField", f.name);
            connect(box, &QComboBox::currentTextChanged, this, [this, name = f.name](const QString& text) {
                if (!m_refreshing && m_edited)
                    m_edited(name, text);
            });
            entry = box;
            break;
        }
        case FormField::Kind::Check: {
            auto* check = new QCheckBox(f.label, m_owner);
            connect(check, &QCheckBox::toggled, this, [this, name = f.name](bool on) {
                if (!m_refreshing && m_edited)
                    m_edited(name, on ? QStringLiteral("1") : QStringLiteral("0"));
            });
            entry = check;
            break;
        }
        case FormField::Kind::Line:
        case FormField::Kind::Password: {
            auto* edit = new QLineEdit(m_owner);
            edit->setReadOnly(f.readOnly);
            if (f.kind == FormField::Kind::Password)
                edit->setEchoMode(QLineEdit::Password);
            connect(edit, &QLineEdit::textEdited, this, [this, name = f.name](const QString& text) {
                if (!m_refreshing && m_edited)
                    m_edited(name, text);
            });
            entry = edit;
            break;
        }
        }
        entry->setObjectName(f.name);
        entry->setAccessibleName(accessibleName(f.label));
        entry->setMinimumWidth(220);
        entry->setProperty("posField", f.name);
        entry->installEventFilter(this);
        if (f.kind != FormField::Kind::Check) {
            auto* label = new QLabel(f.label, m_owner);
            label->setBuddy(entry);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->addWidget(label, row, col);
        }
        grid->addWidget(entry, row, col + 1);
        if (!f.hint.isEmpty()) {
            auto* hint = new QLabel(f.hint, m_owner);
            hint->setStyleSheet(QStringLiteral("color: #6b7685;"));
            grid->addWidget(hint, row, col + 2);
        }
        m_entries.insert(f.name, entry);
    }
    return grid;
}

void FormBuilder::addEntry(const QString& field, QWidget* entry)
{
    entry->setProperty("posField", field);
    entry->installEventFilter(this);
    if (auto* edit = qobject_cast<QLineEdit*>(entry)) {
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            if (!m_refreshing && m_edited)
                m_edited(field, text);
        });
    }
    m_entries.insert(field, entry);
}

void FormBuilder::addButton(const QString& name, QAbstractButton* button)
{
    if (button->accessibleName().isEmpty())
        button->setAccessibleName(accessibleName(button->text()));
    m_buttons.insert(name, button);
}

QString FormBuilder::entryText(const QString& field) const
{
    QWidget* e = m_entries.value(field);
    if (auto* edit = qobject_cast<QLineEdit*>(e))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(e))
        return box->currentText();
    if (auto* check = qobject_cast<QCheckBox*>(e))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return QString();
}

void FormBuilder::setEntryText(QWidget* e, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(e)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(e)) {
        if (box->currentText() != text)
            box->setCurrentText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(e)) {
        check->setChecked(text.trimmed() == QLatin1String("1"));
    }
}

void FormBuilder::refresh(const FormState& state)
{
    m_refreshing = true;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it.value()) {
            setEntryText(it.value(), state.text(it.key()));
            it.value()->setEnabled(state.isEnabled(it.key()));
        }
    }
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it)
        if (it.value())
            it.value()->setEnabled(state.isEnabled(it.key()));
    m_refreshing = false;
    if (QWidget* e = m_entries.value(state.focusField())) {
        e->setFocus();
        QLineEdit* edit = qobject_cast<QLineEdit*>(e);
        if (!edit)
            if (auto* box = qobject_cast<QComboBox*>(e))
                edit = box->lineEdit();
        if (edit) {
            if (state.focusSelectAll())
                edit->selectAll();
            else
                edit->deselect();
        }
    }
}

QString FormBuilder::fieldOf(QObject* object) const
{
    return object->property("posField").toString();
}

bool FormBuilder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && m_state && !m_refreshing) {
        const QString field = fieldOf(watched);
        if (!field.isEmpty())
            m_state->setFocusField(field);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_enter) {
            const QString field = fieldOf(watched);
            if (!field.isEmpty()) {
                m_enter(field);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

QHBoxLayout* FormBuilder::confirmAndClose(const QString& confirmName, const std::function<void()>& confirm,
                                          const QString& closeText, const QString& closeName)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* ok = new QPushButton(QStringLiteral("确认"), m_owner);
    ok->setObjectName(confirmName);
    ok->setAccessibleName(QStringLiteral("确认"));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, confirm);
    auto* close = new QPushButton(closeText, m_owner);
    close->setObjectName(closeName);
    close->setAccessibleName(closeText);
    close->setAutoDefault(false);
    if (auto* dialog = qobject_cast<QDialog*>(m_owner))
        connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addWidget(ok);
    row->addWidget(close);
    addButton(confirmName, ok);
    addButton(closeName, close);
    return row;
}

namespace {

bool isEntry(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// The entry an item of a layout holds, or the first widget of the layout it holds.
QWidget* entryOf(QLayoutItem* item)
{
    while (item) {
        if (QWidget* w = item->widget())
            return isEntry(w) ? w : nullptr;
        QLayout* inner = item->layout();
        if (!inner || inner->count() == 0)
            return nullptr;
        item = inner->itemAt(0);
    }
    return nullptr;
}

// The item after `index` in its row: the next cell of a grid, the next non-spacer of a box.
QLayoutItem* besideOf(QLayout* layout, int index)
{
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        return grid->itemAtPosition(row, column + columns);
    }
    for (int i = index + 1; i < layout->count(); ++i)
        if (!layout->itemAt(i)->spacerItem())
            return layout->itemAt(i);
    return nullptr;
}

} // namespace

void FormBuilder::nameEntriesByCaptions(QWidget* screen)
{
    const QList<QLayout*> layouts = screen->findChildren<QLayout*>();
    for (QLabel* label : screen->findChildren<QLabel*>()) {
        if (label->buddy() || label->text().isEmpty())
            continue;
        for (QLayout* layout : layouts) {
            const int index = layout->indexOf(label);
            if (index < 0)
                continue;
            if (QWidget* entry = entryOf(besideOf(layout, index))) {
                label->setBuddy(entry);
                if (entry->accessibleName().isEmpty())
                    entry->setAccessibleName(accessibleName(label->text()));
            }
            break;
        }
    }
}
