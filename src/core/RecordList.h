#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"

#include <QString>
#include <QStringList>

// What one list screen of a master-data family is: its form, caption, query, the column that
// names a row, its grid, its delete statement and its report.
struct ListKind {
    QString formName; // "Tsplb_form"
    QString caption;  // "商品类别管理"
    QString query;    // "select * from splb order by lbbh"
    QString keyField; // "lbbh": the list is ordered by it
    GridColumns columns;
    // The filter field looks in these columns; none: the list has no filter field.
    QStringList filterFields;
    QString filterHint;
    QString deleteSql; // binds the current row's key by the key column's name
    // 打印: the report file, its data connection and window titles; no file: no 打印 button.
    QString reportFile;
    QString reportConnection;
    QString reportTitle;
    QString reportSetupTitle;
};

// The logic of a list screen: the rows (read a page at a time), the current row, moving,
// deleting, printing and the filter. The window shows rows() and calls these.
class RecordList : public FormState {
public:
    RecordList(const ListKind& kind, Ui& ui);
    ~RecordList() override;

    const ListKind& kind() const { return m_kind; }

    // Opens the connection and reads the list; false (with the reason shown) when it cannot.
    bool create();
    // 刷新: reads the list again and stays on the same code when it is still there.
    bool reload();

    PagedQuery& rows() { return m_rows; }
    // The number of rows (a long filtered list is counted on this first call).
    int count() const { return m_rows.count(); }
    bool hasRows() const { return m_rows.knownCount() > 0; }
    int current() const { return m_current; }
    void setCurrent(int row);
    void first();
    void prior();
    void next();
    void last();
    // Moves to the row of a code (letter case ignored); false, staying put, when there is none.
    bool moveToKey(const QString& key);
    // Moves to the first row whose `field` equals `value` (letter case ignored).
    bool moveToValue(const QString& field, const QString& value);

    QString currentKey() { return currentText(m_kind.keyField); }
    QString currentText(const QString& field) { return m_rows.text(m_current, field); }

    // Narrows the list to rows whose filter columns contain the text.
    bool setFilter(const QString& filter);

    // 删除: asks, deletes the current row, says "删除成功" and reads the list again.
    virtual bool removeCurrent();
    // 打印 through the list's report.
    bool print();
    // The same rows through another report file of the screen (a second layout of them).
    bool print(const QString& reportFile);

protected:
    // A last test before the delete statement (products with stock are kept); false stops.
    virtual bool mayDelete(const QString& key);
    // The delete itself; the default runs the kind's statement with the key.
    virtual bool deleteRecord(const QString& key);

private:
    bool readRows(const QString& keepKey);

    const ListKind& m_kind;
    PagedQuery m_rows;
    int m_current = 0;
};
