#pragma once

#include "core/DbConnection.h"
#include "core/Ui.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// What every screen's logic holds apart from its own operations: the texts of its fields by
// control name, which field has the focus (and whether its text is selected), which buttons are
// enabled, the order Enter walks the fields in, the Ui port and the screen's own connection.
// After each operation the window shows the texts again and puts the focus where focusField()
// says; the window writes what the person types back with setText().
class FormState {
public:
    // The answer of a picker or a prompt closed without one.
    static const QString None; // "~"

    explicit FormState(Ui& ui);
    virtual ~FormState();
    FormState(const FormState&) = delete;
    FormState& operator=(const FormState&) = delete;

    Ui& ui() const { return m_ui; }
    DbConnection& db() { return m_db; }

    // Opens the screen's connection; a failure is shown and the screen cannot work.
    bool openConnection();

    // Field texts by control name; an unknown field reads as "".
    QString text(const QString& field) const;
    // What the window writes when the person types; a screen may react to it.
    virtual void setText(const QString& field, const QString& text);
    // The texts of several fields set at once ("" for those not named in values).
    void clearFields(const QStringList& fields);

    // Buttons and fields that the logic switches on and off, by object name. A name never
    // switched reads as enabled.
    bool isEnabled(const QString& name) const;
    void setEnabled(const QString& name, bool enabled);

    QString focusField() const { return m_focus; }
    bool focusSelectAll() const { return m_selectAll; }
    // The window reports a focus moved by the mouse or Tab.
    void setFocusField(const QString& field);
    void focus(const QString& field, bool selectAll = false);

    // The Enter order: Enter in a field of the list moves to the next one; in the last field it
    // runs `onLast` (typically pressing the screen's action button) or, without one, wraps to the
    // first field when `wrap` is set and otherwise stays.
    void setEnterOrder(const QStringList& fields, std::function<void()> onLast = {}, bool wrap = false);
    const QStringList& enterOrder() const { return m_enterOrder; }
    // Enter in a field. Screens override it for the fields whose Enter does more than move on.
    virtual void enterPressed(const QString& field);

    // Shows a database error the action could not get past.
    void dbError(const QString& text) const;

protected:
    // Sets a field's text without the screen's reaction to typing.
    void setField(const QString& field, const QString& text) { m_fields[field] = text; }

    // Asks a question under the title "系统提示"; true for yes.
    bool ask(const QString& question, Ui::Icon icon = Ui::Icon::Warning);
    // Opens the picker `form`; its answers, each None unless a row was chosen.
    QStringList pick(const QString& form);
    // The same, and the last answer (the chosen row's name) goes into `field` unless the picker
    // was closed.
    QStringList pickInto(const QString& form, const QString& field);
    // Opens the prompt `form`; what was typed, or None when it was closed.
    QString prompt(const QString& form);

    // Runs `body` in one transaction on the screen's connection (see DbConnection). The body
    // puts its failure's text into the text it is handed; on failure `error` says why: the
    // body's text, else the connection's (BEGIN or COMMIT failed). True when committed.
    bool write(const std::function<bool(QString* error)>& body, QString* error);
    // Runs one statement of a write; its failure's text goes to `error`.
    static bool execute(Query& q, QString* error);

private:
    Ui& m_ui;
    DbConnection m_db;
    QHash<QString, QString> m_fields;
    QSet<QString> m_disabled;
    QString m_focus;
    bool m_selectAll = false;
    QStringList m_enterOrder;
    std::function<void()> m_enterLast;
    bool m_enterWraps = false;
};
