#include "support/ScriptedUi.h"

#include <QPageLayout>
#include <QPrinter>

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
        unexpected << QStringLiteral("confirm: ") + text;
        return false;
    }
    return confirms.dequeue();
}

void ScriptedUi::prompt(const PromptSpec& spec, QString& answer)
{
    prompts << spec;
    if (promptAnswers.isEmpty()) {
        unexpected << QStringLiteral("prompt: ") + spec.formName;
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
        unexpected << QStringLiteral("pick: ") + spec.formName;
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
        unexpected << QStringLiteral("save: ") + title;
        return QString();
    }
    return fileNames.dequeue();
}

QString ScriptedUi::openFileName(const QString& title, const QString& filter)
{
    fileDialogTitles << title;
    fileDialogFilters << filter;
    if (fileNames.isEmpty()) {
        unexpected << QStringLiteral("open: ") + title;
        return QString();
    }
    return fileNames.dequeue();
}

void ScriptedUi::showPrintPreview(const QString& title, const QString& setupTitle, bool maximised,
                                  const QPageLayout& layout, const std::function<void(QPrinter*)>& paint)
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
    shown.clear();
    confirmTexts.clear();
    prompts.clear();
    pickers.clear();
    fileDialogTitles.clear();
    fileDialogFilters.clear();
    fileDialogSuffixes.clear();
    unexpected.clear();
}
