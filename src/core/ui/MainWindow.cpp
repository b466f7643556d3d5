#include "core/ui/MainWindow.h"

#include "core/LoginUser.h"
#include "core/ProgramFolder.h"
#include "core/ui/Screens.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>

namespace {
constexpr int kPanelWidth = 200;
const char* const kHintProperty = "posHint";
} // namespace

// ---------------------------------------------------------------------------------------------
// BackgroundArea

BackgroundArea::BackgroundArea(QWidget* parent) : QMdiArea(parent)
{
    setObjectName(QStringLiteral("mdiArea"));
}

void BackgroundArea::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    p.fillRect(event->rect(), palette().color(QPalette::Dark));
    // Tiles in rows 0 … H / h and columns 0 … W / w from the top-left corner; a picture
    // without size paints nothing.
    if (!m_tile.isNull() && m_tile.width() > 0 && m_tile.height() > 0) {
        const int w = m_tile.width();
        const int h = m_tile.height();
        for (int row = 0; row <= area.height() / h; ++row) {
            for (int col = 0; col <= area.width() / w; ++col) {
                const QRect tile(col * w, row * h, w, h);
                if (tile.intersects(event->rect()))
                    p.drawImage(tile.topLeft(), m_tile);
            }
        }
    }
    if (!m_logo.isNull())
        p.drawImage(QPoint((area.width() - m_logo.width()) / 2, 0), m_logo);
}

// ---------------------------------------------------------------------------------------------
// MainWindow

MainWindow::MainWindow(Ui* ui, QWidget* parent) : QMainWindow(parent), m_ui(ui ? ui : &m_widgetUi)
{
    setObjectName(QStringLiteral("Tf_main"));
    setWindowTitle(QStringLiteral("超市收银软件"));
    // Only the close box: no minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    m_area = new BackgroundArea(this);
    setCentralWidget(m_area);
    buildMenus();
    buildStatusBar();

    // Its own connection, used only to read the user's rights.
    if (!m_db.open())
        m_ui->showError(m_db.lastError());
    loadBackground();
    hideTaskbar();
}

MainWindow::~MainWindow()
{
    m_db.close();
}

void MainWindow::hideTaskbar()
{
    // Nothing to hide on this platform.
}

void MainWindow::showTaskbar()
{
    // Nothing to restore on this platform.
}

void MainWindow::loadBackground()
{
    const QString file = ProgramFolder::shipped(QStringLiteral("bj10.bmp"));
    QImageReader reader(file);
    const QImage tile = reader.read();
    if (tile.isNull()) {
        m_ui->showError(QStringLiteral("无法读取背景图片 %1：%2")
                            .arg(QDir::toNativeSeparators(file),
                                 QFileInfo::exists(file) ? reader.errorString() : QStringLiteral("文件不存在")));
    }
    m_area->setTile(tile);
    // The logo is decoration: without it the top edge simply stays plain.
    const QImage logo(ProgramFolder::shipped(QStringLiteral("logo.png")));
    m_area->setLogo(logo);
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    for (const MainMenu::TopMenu& top : MainMenu::menus()) {
        QMenu* menu = bar->addMenu(top.caption);
        menu->setObjectName(top.name);
        menu->menuAction()->setObjectName(top.name);
        menu->menuAction()->setProperty(kHintProperty, top.hint);
        m_menus.insert(top.name, menu);
        for (const MainMenu::Item& item : top.items) {
            if (item.isSeparator()) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(item.caption);
            action->setProperty(kHintProperty, item.hint);
            if (item.opens == MainMenu::Opens::Exit) {
                action->setObjectName(QStringLiteral("exit"));
                m_actions.insert(QStringLiteral("exit"), action);
                connect(action, &QAction::triggered, this, &QWidget::close);
                continue;
            }
            action->setObjectName(item.formName);
            // A screen that is not part of the program yet cannot be chosen.
            action->setEnabled(Screens::has(item.formName));
            m_actions.insert(item.formName, action);
            const QString form = item.formName;
            connect(action, &QAction::triggered, this, [this, form] { openScreen(form); });
        }
        connect(menu, &QMenu::hovered, this, [this](QAction* a) { showHint(a->property(kHintProperty).toString()); });
        // A closing menu takes its hint along, unless the mouse has moved on to another top menu.
        connect(menu, &QMenu::aboutToHide, this, [this, bar, menu] {
            if (!bar->activeAction() || bar->activeAction() == menu->menuAction())
                showHint(QString());
        });
    }
    connect(bar, &QMenuBar::hovered, this, [this](QAction* a) { showHint(a->property(kHintProperty).toString()); });
}

void MainWindow::buildStatusBar()
{
    auto panel = [this](const QString& name, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setFixedWidth(kPanelWidth);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(label);
        return label;
    };
    m_makerPanel = panel(QStringLiteral("makerPanel"), MainMenu::makerPanelText());
    m_userPanel = panel(QStringLiteral("userPanel"), MainMenu::userPanelText(LoginUser::name()));
    m_hintPanel = panel(QStringLiteral("hintPanel"), QString());
    statusBar()->setSizeGripEnabled(false);
}

void MainWindow::showHint(const QString& hint)
{
    m_hintPanel->setText(hint);
}

QString MainWindow::hintText() const
{
    return m_hintPanel->text();
}

QString MainWindow::userText() const
{
    return m_userPanel->text();
}

void MainWindow::userLoggedIn()
{
    m_userPanel->setText(MainMenu::userPanelText(LoginUser::name()));
    if (m_rightsPending != 1 || LoginUser::number().isEmpty())
        return;
    m_rights.load(m_db, LoginUser::number(), *m_ui);
    // Rights only ever switch menus off; the about menu has none.
    for (const MainMenu::Right& r : MainMenu::rights()) {
        if (!m_rights.enabled(r.menu))
            m_menus.value(r.menu)->menuAction()->setEnabled(false);
    }
    m_rightsPending += 5;
}

int MainWindow::childScreenCount() const
{
    // A closed child may wait a moment to be freed; it no longer counts.
    int n = 0;
    for (const QMdiSubWindow* sub : m_area->subWindowList()) {
        if (!sub->isHidden())
            ++n;
    }
    return n;
}

bool MainWindow::openScreen(const QString& formName)
{
    const MainMenu::Item* item = MainMenu::findItem(formName);
    const Screens::Factory factory = Screens::find(formName);
    if (!item || !factory)
        return false;
    if (!MainMenu::mayOpen(*item, childScreenCount(), *m_ui))
        return false;
    QWidget* screen = factory(this);
    if (!screen)
        return false;
    if (screen->windowTitle().isEmpty())
        screen->setWindowTitle(item->screenCaption);
    if (qobject_cast<QDialog*>(screen))
        openModal(screen);
    else
        openChild(screen);
    return true;
}

void MainWindow::openModal(QWidget* screen)
{
    auto* dialog = static_cast<QDialog*>(screen);
    QPointer<QDialog> guard(dialog);
    if (dialog->parentWidget() != this)
        dialog->setParent(this, dialog->windowFlags() | Qt::Dialog);
    dialog->adjustSize();
    dialog->move(frameGeometry().center() - dialog->rect().center());
    dialog->exec();
    if (guard)
        guard->deleteLater();
}

void MainWindow::openChild(QWidget* screen)
{
    screen->setAttribute(Qt::WA_DeleteOnClose);
    // No system menu and no close box: a list screen is left through its own 关闭 button.
    QMdiSubWindow* sub =
        m_area->addSubWindow(screen, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(screen->windowTitle());
    // A screen that closes itself takes its frame with it.
    connect(screen, &QObject::destroyed, sub, [sub] { sub->close(); });
    sub->showMaximized();
    screen->setFocus();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_exitConfirmed && !MainMenu::confirmExit(*m_ui)) {
        event->ignore();
        return;
    }
    m_exitConfirmed = true;
    m_area->closeAllSubWindows();
    if (childScreenCount() > 0) {
        // A screen refused to close (it asked its own question): the program stays.
        m_exitConfirmed = false;
        event->ignore();
        return;
    }
    m_db.close();
    showTaskbar();
    event->accept();
}
