#pragma once

#include "core/FormState.h"
#include "core/RecordCursor.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// One entry of an add or edit dialog: its object name, label and the column it shows and writes.
struct FormField {
    enum class Kind {
        Line,     // a one-line entry
        Choice,   // a drop-down that also takes typed text
        Password, // an entry that does not show what is typed
        Check,    // a check box: "1" ticked, "0" not
    };

    QString name;   // object name and the key of its text ("lbbh", "xglbbh")
    QString label;  // "类别编号"
    QString column; // column of the table ("lbbh"); empty: the same as the name
    Kind kind = Kind::Line;
    bool readOnly = false;
    QString start; // text on opening and after a save ("0" for figures)
    QString hint;  // shown after the entry: "(格式：**)"
    // A drop-down's items: a query and the column whose texts it lists.
    QString choiceQuery;
    QString choiceColumn;
    QStringList fixedChoices; // items of a drop-down that reads no query ("男", "女")
    // A password is stored as typed but never shown in clear.

    QString columnName() const { return column.isEmpty() ? name : column; }
};
using FormFields = QList<FormField>;

// What the add and edit dialogs of one master-data family member are.
struct RecordKind {
    QString keyField;    // the column naming a row: "lbbh"
    QString browseQuery; // the edit dialog's rows: "select * from splb order by lbbh"
    QString insertSql;   // binds each add field's text by its column's name
    QString updateSql;   // binds each edit field's text by its column's name

    QString addForm;
    QString addCaption;
    FormFields addFields;
    QString editForm;
    QString editCaption;
    FormFields editFields;

    // Enter in the add dialog's last field presses 确认 when it is enabled; otherwise the focus
    // goes back to the first field when this is set, and stays where it is when not.
    bool addEnterWraps = false;
    // Enter in the edit dialog's last field: back to the first field, or stays.
    bool editEnterWraps = false;
    // The edit dialog's 保存 is enabled only by a change and disabled again after a save.
    bool saveNeedsChange = false;
    // With saveNeedsChange: moving to another record that shows other texts in the editable
    // fields counts as a change too (so each counted product can be saved in turn); without,
    // a move disables 保存.
    bool moveCountsAsChange = false;
};

// The logic of an add dialog or an edit dialog. Add: 确认 starts disabled and is enabled by a
// change of the code; checks in order, one write, "保存成功", fields back to their start texts.
// Edit: the rows of the family with 首条 … 末条, 保存 writes the current row.
class RecordForm : public FormState {
public:
    enum class Mode { Add, Edit };
    static const QString Confirm; // "确认" button of the add dialog
    static const QString Save;    // "保存" button of the edit dialog

    RecordForm(const RecordKind& kind, Mode mode, Ui& ui);
    ~RecordForm() override;

    const RecordKind& kind() const { return m_kind; }
    Mode mode() const { return m_mode; }
    const FormFields& fields() const;
    QString formName() const;
    QString caption() const;
    QStringList choices(const QString& field) const { return m_choices.value(field); }

    // Opens the connection and the drop-downs; the edit dialog also reads its rows and moves to
    // `key` (letter case ignored). False, with the reason shown, when the dialog cannot work.
    bool create(const QString& key = QString());

    // The window reports every change the person makes to a field's text.
    virtual void edited(const QString& field, const QString& text);
    void enterPressed(const QString& field) override;

    // Add dialog: 确认.
    bool confirm();
    // Edit dialog: 保存 and moving through the rows.
    bool save();
    void first();
    void prior();
    void next();
    void last();
    RecordCursor* cursor() { return m_cursor.get(); }
    QString currentKey() const { return m_cursor ? m_cursor->key() : QString(); }

protected:
    // The add dialog's checks, in order; each failure shows its message, puts the focus in the
    // field and answers false. The default checks nothing.
    virtual bool checkAdd();
    // The add dialog's write; the default runs the kind's insert.
    virtual bool writeAdd();
    virtual bool checkEdit();
    virtual bool writeEdit();
    // Fills the edit fields from the current row.
    virtual void fill();
    // Back to the start texts (on opening the add dialog and after each save).
    virtual void resetFields();
    // The message after a failed write: "数据保存失败" and the engine's words.
    void saveFailed(const QString& error);

    // Binds every field of the dialog to its column's parameter.
    void bindFields(class Query& q) const;
    QString keyFieldName() const;

private:
    bool loadChoices();
    void afterMove();

    const RecordKind& m_kind;
    Mode m_mode;
    std::unique_ptr<RecordCursor> m_cursor;
    QHash<QString, QStringList> m_choices;
};
