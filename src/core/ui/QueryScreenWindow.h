#pragma once

#include "core/QueryScreen.h"
#include "core/ui/WidgetUi.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <memory>

class ChartPanel;
class QDateEdit;
class QTableView;
class ToolBar;
class QToolButton;
class QueryTableModel;

// The window of every query screen: a maximised child of the main window without a system
// menu, the banner picture with the screen's title, a tool bar with "从" rq1 and "至" rq2,
// 查询 (ToolButton3), 导出 (ToolButton10), 打印 (ToolButton1), 保存图表 where there is a chart,
// and 关闭 (ToolButton5), the read-only grid DBGrid1 that reads a page at a time, and the chart
// beside it. A double click on the grid does nothing.
class QueryScreenWindow : public QWidget {
    Q_OBJECT
public:
    using LogicFactory = std::function<std::unique_ptr<QueryScreen>(Ui& ui)>;

    // `ui` answers the logic's questions instead of the window's own dialogs (tests).
    explicit QueryScreenWindow(const LogicFactory& makeLogic, QWidget* parent = nullptr, Ui* ui = nullptr);
    ~QueryScreenWindow() override;

    QueryScreen& logic() { return *m_logic; }
    QTableView* grid() const { return m_grid; }
    ChartPanel* chartPanel() const { return m_chart; }
    QToolButton* button(const QString& name) const;
    QDateEdit* dateEdit(const QString& name) const;

    // The screen's own controls, placed in the tool bar before 查询.
    void addToolWidget(QWidget* widget);

    // The tool bar's commands.
    void runQuery();
    void exportGrid();
    void print();
    void saveChart();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showState();
    void showResult();

    WidgetUi m_ownUi;
    Ui* m_ui;
    std::unique_ptr<QueryScreen> m_logic;
    // The rows the grid shows, kept until the grid shows others (they read through the
    // logic's connection, so they go before the logic).
    std::shared_ptr<PagedQuery> m_shownRows;
    bool m_ready = false;
    int m_shownGeneration = -1;
    ToolBar* m_bar = nullptr;
    QAction* m_ownControls = nullptr; // where the screen's own controls go
    QDateEdit* m_rq1 = nullptr;
    QDateEdit* m_rq2 = nullptr;
    QTableView* m_grid = nullptr;
    QueryTableModel* m_model = nullptr;
    ChartPanel* m_chart = nullptr;
};
