#pragma once

#include "core/DbConnection.h"
#include "core/MainMenu.h"
#include "core/ui/WidgetUi.h"

#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>

class QAction;
class QLabel;
class QMenu;

// The area the child screens live in, with the background picture tiled from its top-left
// corner and the logo centred at its top edge.
class BackgroundArea : public QMdiArea {
    Q_OBJECT
public:
    explicit BackgroundArea(QWidget* parent = nullptr);

    void setTile(const QImage& tile)
    {
        m_tile = tile;
        viewport()->update();
    }
    void setLogo(const QImage& logo)
    {
        m_logo = logo;
        viewport()->update();
    }
    QImage tile() const { return m_tile; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_tile;
    QImage m_logo;
};

// The main window "超市收银软件": the menu that opens every screen, the menu rights of the
// user who logged in, the one-screen rule and the exit question.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Messages and questions go to ui; without one they are real message boxes.
    explicit MainWindow(Ui* ui = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // After the login: shows the user and applies the user's menu rights (once).
    void userLoggedIn();

    // A menu command by form name: the one-screen rule, then the screen. False when nothing opened.
    bool openScreen(const QString& formName);
    int childScreenCount() const;
    BackgroundArea* area() const { return m_area; }
    QAction* action(const QString& formName) const { return m_actions.value(formName); }
    QMenu* topMenu(const QString& name) const { return m_menus.value(name); }
    QString hintText() const;
    QString userText() const;

    // The desktop taskbar is hidden while the till runs elsewhere; there is no such window on
    // this platform (the main window simply opens maximised), so both do nothing here.
    static void hideTaskbar();
    static void showTaskbar();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void loadBackground();
    void showHint(const QString& hint);
    void openModal(QWidget* screen);
    void openChild(QWidget* screen);

    WidgetUi m_widgetUi{this};
    Ui* m_ui;
    DbConnection m_db;
    int m_rightsPending = 1; // 1 until the rights are loaded, then 6
    MainMenu::Rights m_rights;
    BackgroundArea* m_area = nullptr;
    QLabel* m_makerPanel = nullptr;
    QLabel* m_userPanel = nullptr;
    QLabel* m_hintPanel = nullptr;
    QHash<QString, QAction*> m_actions; // by form name; "退出系统" under "exit"
    QHash<QString, QMenu*> m_menus;     // by top menu name
    bool m_exitConfirmed = false;
};
