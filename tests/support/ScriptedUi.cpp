#include "support/ScriptedUi.h"

#include <QPageLayout>
#include <QTest>
#include <QPrinter>

void ScriptedUi::unscripted(const QString& question)
{
    // A question nobody scripted fails the test: a default answer would hide a wrong path.
    unexpected << question;
    QTest::qFail(qPrintable(QStringLiteral("ScriptedUi: nobody scripted an answer to ") + question), __FILE__,
                 __LINE__);
}

void ScriptedUi::showMessage(const QString& text)
{
    shown << Shown{QStringLiteral("message"), QString(), text, Icon::None};
}

void ScriptedUi::messageBox(const QString& title, const QString& text, Icon icon)
{
    shown << Shown{QStringLiteral("box"), title, text, icon};
}

void ScriptedUi::showError(const QString& text)
{
    shown << Shown{QStringLiteral("error"), QString(), text, Icon::Error};
}

bool ScriptedUi::confirm(const QString& title, const QString& text, Icon icon)
{
    confirmTexts << text;
    if (confirms.isEmpty()) {
        unscripted(QStringLiteral("confirm: ") + text);
        return false;
    }
    return confirms.dequeue();
}

void ScriptedUi::prompt(const PromptSpec& spec, QString& answer)
{
    prompts << spec;
    if (promptAnswers.isEmpty()) {
        unscripted(QStringLiteral("prompt: ") + spec.formName);
        return;
    }
    const std::optional<QString> a = promptAnswers.dequeue();
    if (a)
        answer = *a;
}

void ScriptedUi::pick(const PickerSpec& spec, QStringList& answers)
{
    pickers << spec;
    if (pickAnswers.isEmpty()) {
        unscripted(QStringLiteral("pick: ") + spec.formName);
        return;
    }
    const std::optional<QStringList> a = pickAnswers.dequeue();
    if (a)
        answers = *a;
}

QString ScriptedUi::saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix)
{
    fileDialogTitles << title;
    fileDialogFilters << filter;
    fileDialogSuffixes << defaultSuffix;
    if (fileNames.isEmpty()) {
        unscripted(QStringLiteral("save: ") + title);
        return QString();
    }
    return fileNames.dequeue();
}

QString ScriptedUi::openFileName(const QString& title, const QString& filter)
{
    fileDialogTitles << title;
    fileDialogFilters << filter;
    if (fileNames.isEmpty()) {
        unscripted(QStringLiteral("open: ") + title);
        return QString();
    }
    return fileNames.dequeue();
}

void ScriptedUi::showPrintPreview(const QString& title, const QString& setupTitle, bool maximised,
                                  const QPageLayout& layout, const std::function<void(QPagedPaintDevice*)>& paint)
{
    Preview preview{title, maximised, QString(), setupTitle};
    if (!previewPdfFiles.isEmpty()) {
        preview.pdfFile = previewPdfFiles.dequeue();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(preview.pdfFile);
        printer.setDocName(title);
        printer.setPageLayout(layout);
        paint(&printer);
    }
    previews << preview;
}

Ui::PrintOutcome ScriptedUi::printDirect(const QString& docName,
                                         const std::function<QString(QPagedPaintDevice*)>& paint, QString* error)
{
    // A machine without a printer, as the test machines are: the print goes into the PDF file
    // the script names, or nowhere when the script cancels the file dialog.
    const QString pdf = saveFileName(QStringLiteral("没有可用的打印机，保存为 PDF 文件"),
                                     QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (pdf.isEmpty())
        return PrintOutcome::Cancelled;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(600);
    printer.setDocName(docName);
    printed << docName;
    const QString failed = paint(&printer);
    if (failed.isEmpty())
        return PrintOutcome::Printed;
    if (error)
        *error = failed + QStringLiteral("：") + pdf;
    return PrintOutcome::Failed;
}

QStringList ScriptedUi::texts() const
{
    QStringList list;
    for (const Shown& s : shown)
        list << s.text;
    return list;
}

QString ScriptedUi::lastText() const
{
    return shown.isEmpty() ? QString() : shown.last().text;
}

void ScriptedUi::clear()
{
    confirms.clear();
    promptAnswers.clear();
    pickAnswers.clear();
    fileNames.clear();
    previewPdfFiles.clear();
    previews.clear();
    printed.clear();
    shown.clear();
    confirmTexts.clear();
    prompts.clear();
    pickers.clear();
    fileDialogTitles.clear();
    fileDialogFilters.clear();
    fileDialogSuffixes.clear();
    unexpected.clear();
}
