#pragma once

#include "core/Ui.h"

#include <QQueue>
#include <QStringList>

// The Ui port for work that nobody watches (the demonstration shop's trading, the benchmarks):
// every question is answered at once, nothing is drawn or printed, and everything the logic
// shows is kept, so the caller can tell what went wrong.
class SilentUi : public Ui {
public:
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

    // The answer to every confirmation (OK unless set otherwise).
    bool confirmAnswer = true;
    // Answers of the next prompts and pickers, in order; with none queued a prompt answers "~"
    // and a picker "~" in each of its answer fields, as their "退出" and "关闭" do.
    QQueue<QString> promptAnswers;
    QQueue<QStringList> pickAnswers;

    // Every text shown, in order; the errors (database and file errors) also on their own.
    QStringList shown;
    QStringList errors;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.constLast(); }
    void clear();
};
