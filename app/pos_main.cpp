// The till: checks the database, shows the splash, opens the main window and asks for the login.

#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/ProgramFolder.h"
#include "core/ShopLock.h"
#include "core/ui/AppStyle.h"
#include "core/ui/LoginDialog.h"
#include "core/ui/MainWindow.h"
#include "core/ui/SplashScreen.h"
#include "schema/DatabaseCheck.h"
#include "schema/Schema.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTranslator>

#include <cstdio>

void registerAllScreens();

namespace {

const QString kTitle = QStringLiteral("翠湖超市收银系统");
constexpr int kSplashMs = 2000;

// Why the till does not start: in a box for the cashier, and on the error output for whoever
// started it from a terminal or a script. Where no one can see a window (the offscreen
// platform) a box would only wait forever, so there is none.
void fail(const QString& text)
{
    std::fprintf(stderr, "pos: %s\n", text.toLocal8Bit().constData());
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok);
    box.exec();
}

// Chinese text needs a CJK face; prefer the simplified-Chinese Noto face where it is installed.
void chooseFont(QApplication& app)
{
    QFont font = app.font();
    const QStringList installed = QFontDatabase::families();
    QStringList families;
    for (const char* name : {"Noto Sans CJK SC", "Noto Sans SC", "WenQuanYi Micro Hei", "Source Han Sans SC"}) {
        if (installed.contains(QString::fromLatin1(name)))
            families << QString::fromLatin1(name);
    }
    if (families.isEmpty())
        return;
    families << font.families();
    font.setFamilies(families);
    app.setFont(font);
}

// The database must be there before any window opens: the till never creates it. It is looked
// at through a read-only connection first and only opened for writing (which switches it to
// the write-ahead journal and upgrades it) when it is this program's database and may be written.
bool checkDatabase()
{
    const QString file = ProgramFolder::databaseFile();
    const QString native = QDir::toNativeSeparators(file);
    const QString problem = DatabaseCheck::problem(file);
    if (!problem.isEmpty()) {
        fail(problem);
        return false;
    }
    DbConnection db(file);
    if (!db.open()) {
        fail(QStringLiteral("无法打开数据库文件 %1：\n%2").arg(native, db.lastError()));
        return false;
    }
    QString error;
    if (!Schema::migrate(db, &error)) {
        fail(QStringLiteral("数据库文件 %1 无法升级到本程序的版本：\n%2").arg(native, error));
        return false;
    }
    return true;
}

bool databaseExists()
{
    const QString file = ProgramFolder::databaseFile();
    if (QFileInfo::exists(file))
        return true;
    fail(QStringLiteral("找不到数据库文件 %1。\n\n请先用 pos-setup 创建数据库：\n"
                        "    pos-setup          创建空白数据库\n"
                        "    pos-setup --demo   创建带演示数据的数据库")
             .arg(QDir::toNativeSeparators(file)));
    return false;
}

// Without a display Qt's window system plug-in aborts the process; say what to do instead.
bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true; // the person chose a platform (offscreen, vnc …): Qt reports its own problems
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fprintf(stderr, "%s\n",
                     "pos: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run the till on a desktop, or under a virtual display, for example:\n"
                     "    xvfb-run -a -s '-screen 0 1280x800x24' pos");
        return 1;
    }
    QApplication app(argc, argv);
    // The title of the program, also the caption of every plain message box (the Ui port reads
    // it as the display name). Not set as the display name itself: the window system would then
    // append it to every window's own caption ("系统提示 — 翠湖超市收银系统").
    QApplication::setApplicationName(kTitle);
    chooseFont(app);
    AppStyle::apply(app);
    // Qt's own buttons and file dialogs in Chinese, where the translations are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    if (!databaseExists())
        return 1;
    // One till per shop: a second copy on the same shop would draw the same voucher numbers.
    ShopLock lock;
    if (!lock.acquire()) {
        fail(lock.error());
        return 1;
    }
    if (!checkDatabase())
        return 1;
    registerAllScreens();

    SplashScreen::showFor(kSplashMs);

    MainWindow window;
    // The whole desktop, also where no window manager maximises it.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();

    LoginDialog login(nullptr, &window);
    // Only a successful login comes back accepted; "取消" and the attempt limit end the program
    // here, without the exit question.
    if (login.exec() != QDialog::Accepted)
        return 0;
    window.userLoggedIn();

    return app.exec();
}
