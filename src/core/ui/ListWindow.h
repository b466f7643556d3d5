#pragma once

#include "core/RecordList.h"
#include "core/ui/WidgetUi.h"

#include <QHash>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class QueryTableModel;

// One button of a list's tool bar.
struct ListButton {
    QString name; // object name: "add", "delete", "edit", "print", "refresh", "first", … or the screen's own
    QString text; // "新增"
    QString hint; // status tip and tool tip
    std::function<void()> action; // the screen's own buttons; the standard ones have theirs
    bool needsRow = false;        // disabled while the list is empty, as 删除 and 修改 are
    QIcon icon = QIcon();         // the screen's own picture; none: the standard one for the name
    QKeySequence key = {};        // the screen's own buttons' key; the standard ones have theirs
};

// The list window of every master-data family: a maximised child of the main window without a
// system menu, the standard tool bar (新增 删除 修改 打印 刷新 首条 上条 下条 末条 关闭 and the
// screen's own), an optional filter field, and a read-only grid that reads a page at a time.
// A double click on the grid does what 修改 does.
class ListWindow : public QWidget {
    Q_OBJECT
public:
    using LogicFactory = std::function<std::unique_ptr<RecordList>(Ui& ui)>;

    // The standard buttons in their order; `print` leaves 打印 out when false.
    static QList<ListButton> standardButtons(bool print);

    ListWindow(const LogicFactory& makeLogic, const QList<ListButton>& buttons, QWidget* parent = nullptr);
    ~ListWindow() override;

    RecordList& logic() { return *m_logic; }
    Ui& ui() { return m_ui; }
    QTableView* grid() const { return m_grid; }
    QToolButton* button(const QString& name) const { return m_buttons.value(name); }

    // 新增 and 修改 open the screen's dialogs: set by the screen.
    void setAddAction(std::function<void()> add) { m_add = std::move(add); }
    void setEditAction(std::function<void(const QString& key)> edit) { m_edit = std::move(edit); }

    // Shows the logic's rows and current row again (after an action that changed them).
    void showRows();
    void showCurrent();
    // Runs an action of the logic and shows the current row after it.
    void run(const std::function<void()>& action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void edit();
    void applyFilter();
    void updateButtons();

    WidgetUi m_ui;
    std::unique_ptr<RecordList> m_logic;
    QueryTableModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    QLineEdit* m_filter = nullptr;
    QTimer* m_filterTimer = nullptr;
    QHash<QString, QToolButton*> m_buttons;
    QStringList m_rowButtons; // the buttons that work on the current row
    std::function<void()> m_add;
    std::function<void(const QString&)> m_edit;
    bool m_ready = false;
};
