#include "core/ui/WidgetUi.h"

#include "core/ui/PickerDialog.h"
#include "core/ui/PromptDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

QMessageBox::Icon boxIcon(Ui::Icon icon)
{
    switch (icon) {
    case Ui::Icon::Information:
        return QMessageBox::Information;
    case Ui::Icon::Warning:
        return QMessageBox::Warning;
    case Ui::Icon::Question:
        return QMessageBox::Question;
    case Ui::Icon::Error:
        return QMessageBox::Critical;
    case Ui::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// While a preview is open, gives the printer and page set-up windows it opens their own title.
class SetupTitler : public QObject {
public:
    explicit SetupTitler(const QString& title) : m_title(title) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) {
            auto* w = qobject_cast<QWidget*>(watched);
            const bool setup = qobject_cast<QPrintDialog*>(watched) || qobject_cast<QPageSetupDialog*>(watched);
            if (w && setup && w->windowTitle() != m_title)
                w->setWindowTitle(m_title);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_title;
};

} // namespace

WidgetUi::WidgetUi(QWidget* parent)
    : m_parent(parent)
{
}

void WidgetUi::showMessage(const QString& text)
{
    // The plain message box carries the application's title.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, m_parent);
    box.exec();
}

void WidgetUi::messageBox(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void WidgetUi::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool WidgetUi::confirm(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    return box.exec() == QMessageBox::Ok;
}

void WidgetUi::prompt(const PromptSpec& spec, QString& answer)
{
    PromptDialog::run(spec, answer, m_parent);
}

void WidgetUi::pick(const PickerSpec& spec, QStringList& answers)
{
    PickerDialog::run(spec, answers, m_parent);
}

QString WidgetUi::saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(m_parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString WidgetUi::openFileName(const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, title, QString(), filter);
}

void WidgetUi::showPrintPreview(const QString& title, const QString& setupTitle, bool maximised,
                                const QPageLayout& layout, const std::function<void(QPagedPaintDevice*)>& paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(layout);
    QPrintPreviewDialog dialog(&printer, m_parent);
    // Without titles of its own a report keeps the preview's and set-up windows' usual ones.
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(p); });
    if (maximised)
        dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    const QString setup = setupTitle.isEmpty() ? title : setupTitle;
    SetupTitler titler(setup);
    if (!setup.isEmpty())
        qApp->installEventFilter(&titler);
    dialog.exec();
    qApp->removeEventFilter(&titler);
}

Ui::PrintOutcome WidgetUi::printDirect(const QString& docName,
                                       const std::function<QString(QPagedPaintDevice*)>& paint, QString* error)
{
    QPrinter printer(QPrinter::HighResolution);
    const QPrinterInfo system = QPrinterInfo::defaultPrinter();
    if (!system.isNull()) {
        printer.setPrinterName(system.printerName());
    } else {
        const QString pdf = saveFileName(QStringLiteral("没有可用的打印机，保存为 PDF 文件"),
                                         QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
        if (pdf.isEmpty())
            return PrintOutcome::Cancelled;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        // A laser printer's resolution, so the dot figures of a layout keep their sizes.
        printer.setResolution(600);
    }
    printer.setDocName(docName);
    const QString failed = paint(&printer);
    if (failed.isEmpty())
        return PrintOutcome::Printed;
    if (error)
        *error = failed + (printer.outputFileName().isEmpty()
                               ? QString()
                               : QStringLiteral("：") + QDir::toNativeSeparators(printer.outputFileName()));
    return PrintOutcome::Failed;
}

void WidgetUi::processEvents()
{
    QApplication::processEvents();
}
