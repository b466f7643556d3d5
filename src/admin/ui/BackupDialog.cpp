#include "admin/ui/BackupDialog.h"

#include "admin/ShopBackup.h"
#include "core/ProgramFolder.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

BackupFileUi::BackupFileUi(QWidget* parent) : WidgetUi(parent), m_parent(parent) {}

QString BackupFileUi::saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(m_parent, title, ProgramFolder::path(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // An existing file is never written over: the backup itself says so.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(ShopBackup::proposedFile());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString BackupFileUi::openFileName(const QString& title, const QString& filter)
{
    QFileDialog dialog(m_parent, title, ProgramFolder::path(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

BackupDialog::BackupDialog(QWidget* parent) : QDialog(parent), m_ui(this)
{
    setObjectName(QStringLiteral("Tbackup_form"));
    setWindowTitle(QStringLiteral("数据备份与还原"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setMinimumWidth(420);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Panel1"));
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setMinimumHeight(36);
    m_status->hide();
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->hide();

    auto make = [this](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        return b;
    };
    m_backup = make(QStringLiteral("backup"), QStringLiteral("备份"));
    m_restore = make(QStringLiteral("restore"), QStringLiteral("恢复"));
    m_close = make(QStringLiteral("close"), QStringLiteral("退出"));
    connect(m_backup, &QPushButton::clicked, this, [this] { run(false); });
    connect(m_restore, &QPushButton::clicked, this, [this] { run(true); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_backup);
    buttons->addWidget(m_restore);
    buttons->addWidget(m_close);
    buttons->addStretch();

    auto* note = new QLabel(QStringLiteral("备份：把当前的全部数据保存到一个新的备份文件。\n"
                                           "恢复：用备份文件替换当前的数据，替换前的数据另存在程序文件夹中。"),
                            this);
    note->setObjectName(QStringLiteral("Label1"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(note);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

void BackupDialog::setBusy(bool busy, const QString& text)
{
    m_busy = busy;
    m_status->setText(text);
    m_status->setVisible(busy);
    m_progress->setVisible(false);
    m_progress->setValue(0);
    for (QPushButton* b : {m_backup, m_restore, m_close})
        b->setEnabled(!busy);
    adjustSize();
}

void BackupDialog::run(bool restore)
{
    if (m_busy)
        return;
    setBusy(true, restore ? ShopBackup::restoreBusyText() : ShopBackup::backupBusyText());
    // The bar shows once a file is chosen and then follows the pages copied.
    const auto started = [this] {
        m_progress->show();
        adjustSize();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const auto progress = [this](int percent) {
        if (percent == m_progress->value())
            return;
        m_progress->setValue(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (restore)
        ShopBackup::restore(m_ui, progress, started);
    else
        ShopBackup::backup(m_ui, progress, started);
    setBusy(false);
}

void BackupDialog::closeEvent(QCloseEvent* event)
{
    // A copy under way finishes before the dialog goes.
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
