#include "core/ui/WidgetUi.h"
#include "support/ModalDriver.h"

#include <QAction>
#include <QApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>

namespace {

bool isPreview(QWidget* w)
{
    return qobject_cast<QPrintPreviewDialog*>(w) != nullptr;
}

} // namespace

// The preview window that reports open through the widgets' answer to the Ui port.
class PrintPreviewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewWindow_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("maximised");
        QTest::newRow("maximised") << QStringLiteral("商品盘点") << true;
        QTest::newRow("normal") << QStringLiteral("商品盘点") << false;
        // A report without a title of its own keeps the window's usual title, never a blank one.
        QTest::newRow("no title") << QString() << false;
    }
    void previewWindow()
    {
        QFETCH(QString, given);
        QFETCH(bool, maximised);
        QWidget owner;
        WidgetUi ui(&owner);
        QString title;
        bool wasMaximised = false;
        bool found = false;
        ModalDriver::when(isPreview, [&](QWidget* dialog) {
            found = true;
            title = dialog->windowTitle();
            wasMaximised = dialog->isMaximized() || (dialog->windowState() & Qt::WindowMaximized);
            dialog->close();
        });
        int painted = 0;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        const QPageLayout layout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
        ui.showPrintPreview(given, QString(), maximised, layout, [&](QPagedPaintDevice* printer) {
            ++painted;
            orientation = printer->pageLayout().orientation();
            QPainter p(printer);
            p.drawText(100, 100, QStringLiteral("商品盘点"));
        });
        QVERIFY(found);
        if (given.isEmpty())
            QVERIFY(!title.isEmpty());
        else
            QCOMPARE(title, given);
        QCOMPARE(wasMaximised, maximised);
        QVERIFY(painted >= 1);
        QCOMPARE(orientation, QPageLayout::Landscape);
    }

    // The page set-up window opened from the preview carries the set-up title the screen gave.
    void setupWindowTitle()
    {
        QWidget owner;
        WidgetUi ui(&owner);
        QString setupTitle;
        bool actionFound = false;
        ModalDriver::when(isPreview, [&](QWidget* preview) {
            QAction* pageSetup = nullptr;
            for (QAction* a : preview->findChildren<QAction*>()) {
                if (a->text().contains(QLatin1String("setup"), Qt::CaseInsensitive))
                    pageSetup = a;
            }
            if (!pageSetup) {
                preview->close();
                return;
            }
            actionFound = true;
            ModalDriver::when([preview](QWidget* w) { return w != preview; },
                              [&, preview](QWidget* setup) {
                                  setupTitle = setup->windowTitle();
                                  setup->close();
                                  QTimer::singleShot(0, preview, &QWidget::close);
                              });
            pageSetup->trigger();
        });
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));
        ui.showPrintPreview(QStringLiteral("商品类别打印"), QStringLiteral("商品类别打印设置"), true, layout,
                            [](QPagedPaintDevice* printer) {
                                QPainter p(printer);
                                p.drawText(100, 100, QStringLiteral("商品类别"));
                            });
        QVERIFY(actionFound);
        QCOMPARE(setupTitle, QStringLiteral("商品类别打印设置"));
    }
};

QTEST_MAIN(PrintPreviewTest)
#include "tst_printpreview.moc"
