#pragma once

#include "core/Ui.h"

#include <QPointer>
#include <QWidget>

// The Ui port answered with real dialogs, owned by the window whose logic asks.
class WidgetUi : public Ui {
public:
    explicit WidgetUi(QWidget* parent);

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
    void processEvents() override;

private:
    QPointer<QWidget> m_parent;
};
