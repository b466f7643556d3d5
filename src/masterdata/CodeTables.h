#pragma once

#include "core/RecordForm.h"
#include "core/RecordList.h"

#include <QList>
#include <QString>

// The four code tables (categories, units, suppliers, warehouses) are one family of a list, an
// add dialog and an edit dialog; each member is one row of this table of differences.
struct CodeTableKind {
    ListKind list;
    RecordKind record;
    QString table;      // "splb"
    QString nameField;  // "lbmc"
    int codeLength = 2; // exactly this many digits
    QString digitMessage;
    QString duplicateSql; // "select * from splb where lbbh=:LBBH"
    // A name is required (warehouses): this message when it is empty.
    QString nameRequiredMessage;
    // After a failed insert the focus goes back to the code.
    bool focusCodeAfterFailedInsert = false;

    static const CodeTableKind& categories();
    static const CodeTableKind& units();
    static const CodeTableKind& suppliers();
    static const CodeTableKind& warehouses();
    static QList<const CodeTableKind*> all();
};

// The add and edit dialogs of a code table.
class CodeTableForm : public RecordForm {
public:
    CodeTableForm(const CodeTableKind& kind, Mode mode, Ui& ui);

    void enterPressed(const QString& field) override;

protected:
    bool checkAdd() override;
    bool writeAdd() override;

private:
    const CodeTableKind& m_table;
};
