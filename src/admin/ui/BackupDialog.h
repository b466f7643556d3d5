#pragma once

#include "core/ui/WidgetUi.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The file dialogs of the backup dialog open in the program folder, and the save dialog
// proposes "pos" + today's date.
class BackupFileUi : public WidgetUi {
public:
    explicit BackupFileUi(QWidget* parent);
    QString saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix) override;
    QString openFileName(const QString& title, const QString& filter) override;

private:
    QPointer<QWidget> m_parent;
};

// The backup dialog Tbackup_form, "数据备份与还原": 备份, 恢复 and 退出, a progress bar that follows
// the copy and a status panel with the wait text, both shown only while an action runs.
class BackupDialog : public QDialog {
    Q_OBJECT
public:
    explicit BackupDialog(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void run(bool restore);
    void setBusy(bool busy, const QString& text = QString());

    BackupFileUi m_ui;
    QPushButton* m_backup = nullptr;
    QPushButton* m_restore = nullptr;
    QPushButton* m_close = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    bool m_busy = false;
};
