#pragma once

#include "core/DbConnection.h"
#include "core/PagedQuery.h"
#include "core/ui/QueryTableModel.h"
#include "core/Ui.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QLineEdit;
class QTableView;
class QToolButton;

// One picker window for the whole family; its PickerSpec gives the caption, the query, the
// grid's columns and the fields handed back.
class PickerDialogWindow : public QDialog {
    Q_OBJECT
public:
    enum class Outcome {
        None,   // closed by the close box: the caller's answers stay
        Chosen, // "确认选择", Enter or a double click: the current row's answer fields
        Closed, // "关闭" or Esc: "~" in each answer
    };

    // Typing pauses this long before the grid is narrowed.
    static constexpr int kFilterDelayMs = 150;

    PickerDialogWindow(const PickerSpec& spec, QWidget* parent = nullptr);
    ~PickerDialogWindow() override;

    // Opens the connection and reads the rows; a database error is shown and leaves the grid empty.
    bool load();

    Outcome outcome() const { return m_outcome; }
    QStringList chosen() const { return m_chosen; }
    void writeAnswers(QStringList& answers) const;

    // The rows the grid holds now (after the filter).
    int rowCount() const;
    // Narrows the grid at once instead of after the typing pause.
    void applyFilterNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void choose();
    void closePicker();
    void selectFirstRow();
    void sizeColumns();

    PickerSpec m_spec;
    DbConnection m_db;
    std::unique_ptr<PagedQuery> m_rows;
    QueryTableModel* m_model = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableView* m_grid = nullptr;
    QToolButton* m_choose = nullptr;
    QToolButton* m_close = nullptr;
    QTimer m_filterTimer;
    Outcome m_outcome = Outcome::None;
    QStringList m_chosen;
};
