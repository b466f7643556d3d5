#pragma once

#include "core/FormState.h"
#include "core/RecordForm.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractButton;
class QGridLayout;
class QHBoxLayout;
class QWidget;

// Builds a screen's entries from its field table (label, entry with the field's object name,
// hint) and keeps them in step with the screen's logic: refresh() shows the logic's texts,
// enabled states and focus; what the person types goes back through `edited`, Enter through
// `enter`. Every entry and button carries its label as its accessible name, so screen readers
// and tools that drive the program find "商品编号" by name.
class FormBuilder : public QObject {
    Q_OBJECT
public:
    using Edited = std::function<void(const QString& field, const QString& text)>;
    using Enter = std::function<void(const QString& field)>;

    explicit FormBuilder(QWidget* owner);

    // Entries of the fields in a grid of label | entry | hint rows (two such columns when
    // `columns` is 2). Drop-downs get their items from `choices`.
    QGridLayout* build(const FormFields& fields, const QHash<QString, QStringList>& choices, int columns = 1);
    // An entry made elsewhere that takes part in refresh, editing and Enter.
    void addEntry(const QString& field, QWidget* entry);
    // A button whose enabled state follows the logic's isEnabled(name).
    void addButton(const QString& name, QAbstractButton* button);

    void setEdited(Edited edited) { m_edited = std::move(edited); }
    void setEnter(Enter enter) { m_enter = std::move(enter); }
    // The logic told of a focus moved by the mouse or Tab.
    void setState(FormState* state) { m_state = state; }

    QWidget* entry(const QString& field) const { return m_entries.value(field); }
    QString entryText(const QString& field) const;

    // Shows the logic's texts, enabled states and focus.
    void refresh(const FormState& state);

    // The 确认 / 关闭 row at the foot of a dialog: 确认 (object name `confirmName`) runs `confirm`,
    // the other (`closeText`, object name "close") rejects the dialog. Both follow the logic's
    // enabled states through addButton().
    QHBoxLayout* confirmAndClose(const QString& confirmName, const std::function<void()>& confirm,
                                 const QString& closeText = QStringLiteral("关闭"),
                                 const QString& closeName = QStringLiteral("close"));

    // Screens laid out by hand: each caption becomes the buddy of the entry beside it (to its
    // right in the same row), and the entry takes the caption's words as its accessible name
    // unless it has one. Done once after the layout is built.
    static void nameEntriesByCaptions(QWidget* screen);

    // The accessible name of a label: its text without the blanks that space it out.
    static QString accessibleName(const QString& label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setEntryText(QWidget* entry, const QString& text);
    QString fieldOf(QObject* object) const;

    QWidget* m_owner;
    QHash<QString, QPointer<QWidget>> m_entries;
    QHash<QString, QPointer<QAbstractButton>> m_buttons;
    Edited m_edited;
    Enter m_enter;
    FormState* m_state = nullptr;
    bool m_refreshing = false;
};
