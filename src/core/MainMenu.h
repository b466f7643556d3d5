#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;
class Ui;

// The main window's menu as data: every top menu with its items, the screens they open, the
// rights that switch the top menus off, and the rule that only one screen is open at a time.
namespace MainMenu {

enum class Opens {
    Child, // a maximised child inside the main window; the menu stays usable
    Modal, // a dialog centred on the main window that holds the input until it closes
    Exit,  // closes the main window (and asks first)
    None,  // a separator
};

struct Item {
    QString caption;       // the menu text; empty for a separator
    QString hint;          // shown in the status bar while the mouse is on the item
    QString formName;      // the screen it opens ("Tsplb_form"); empty for a separator or "退出系统"
    QString screenCaption; // the caption of the opened screen
    Opens opens = Opens::None;
    bool oneScreenRule = true; // refuses to open while a child screen is open

    bool isSeparator() const { return opens == Opens::None; }
};

struct TopMenu {
    QString name;    // object name of the top menu ("jbxx")
    QString caption; // "基本信息"
    QString hint;
    QString right; // the usermenu column that switches it off ("m1"); empty = always usable
    QList<Item> items;
};

// The whole tree in menu order.
const QList<TopMenu>& menus();
// The item that opens a form, or nullptr.
const Item* findItem(const QString& formName);

// The right-controlled top menus and their usermenu columns, m1 … m7.
struct Right {
    QString column; // "m1"
    QString menu;   // "jbxx"
};
const QList<Right>& rights();

// The user's rights: which top menus stay usable. Loaded once, after the login.
class Rights {
public:
    // Reads the user's usermenu row. A column that reads 0 (an empty value, or no row at
    // all) switches its top menu off. When the table cannot be read the error goes to the
    // Ui and every right-controlled menu is switched off.
    bool load(DbConnection& db, const QString& userNumber, Ui& ui);
    bool isLoaded() const { return m_loaded; }
    // A top menu's state by object name; menus without a right column are always usable.
    bool enabled(const QString& menuName) const;
    QStringList disabledMenus() const { return m_disabled; }

private:
    bool m_loaded = false;
    QStringList m_disabled;
};

// The one-screen rule: with a child screen open, every command but the ones that skip the rule
// shows "请关闭请它窗口" titled "系统提示" and opens nothing.
bool mayOpen(const Item& item, int openChildScreens, Ui& ui);

// "真的要退出本系统吗？" titled "退出系统"; true for OK.
bool confirmExit(Ui& ui);

// The texts of the status bar.
QString makerPanelText();
QString userPanelText(const QString& userName);

} // namespace MainMenu
