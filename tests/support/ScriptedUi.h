#pragma once

#include "core/Ui.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <optional>

// The Ui port for tests: records every message and answers confirmations, prompts, pickers
// and file dialogs from queues. A question nobody scripted fails the running test (and is listed
// in `unexpected`).
class ScriptedUi : public Ui {
public:
    struct Shown {
        QString kind; // "message", "box", "error"
        QString title;
        QString text;
        Icon icon = Icon::None;
    };

    void showMessage(const QString& text) override;
    void messageBox(const QString& title, const QString& text, Icon icon) override;
    void showError(const QString& text) override;
    bool confirm(const QString& title, const QString& text, Icon icon) override;
    void prompt(const PromptSpec& spec, QString& answer) override;
    void pick(const PickerSpec& spec, QStringList& answers) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix) override;
    QString openFileName(const QString& title, const QString& filter) override;
    void showPrintPreview(const QString& title, const QString& setupTitle, bool maximised, const QPageLayout& layout,
                          const std::function<void(QPagedPaintDevice*)>& paint) override;
    PrintOutcome printDirect(const QString& docName, const std::function<QString(QPagedPaintDevice*)>& paint,
                             QString* error) override;

    // Queues. A prompt or pick answered with std::nullopt is closed by its close box.
    QQueue<bool> confirms;
    QQueue<std::optional<QString>> promptAnswers;
    QQueue<std::optional<QStringList>> pickAnswers;
    QQueue<QString> fileNames;
    // A print preview renders its pages into the next PDF file queued here (none: nothing drawn).
    QQueue<QString> previewPdfFiles;

    // What was shown and asked, in order.
    QList<Shown> shown;
    QStringList confirmTexts;
    QList<PromptSpec> prompts;
    QList<PickerSpec> pickers;
    QStringList fileDialogTitles;
    QStringList fileDialogFilters;  // the filter of each file dialog
    QStringList fileDialogSuffixes; // the default suffix of each save dialog
    struct Preview {
        QString title;
        bool maximised = false;
        QString pdfFile; // where its pages went, if a file was queued
        QString setupTitle;
    };
    QList<Preview> previews;
    // Documents printed straight away, by name.
    QStringList printed;
    // Questions asked with nothing queued to answer them.
    QStringList unexpected;

    // Texts of everything shown, in order.
    QStringList texts() const;
    QString lastText() const;
    void clear();

private:
    void unscripted(const QString& question);
};
