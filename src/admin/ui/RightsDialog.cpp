#include "admin/ui/RightsDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

RightsDialog::RightsDialog(const QString& userNumber, QWidget* parent)
    : QDialog(parent), m_ui(this), m_logic(userNumber, m_ui)
{
    setObjectName(QStringLiteral("Tqxsz_form"));
    setWindowTitle(QStringLiteral("权限设置"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_ready = m_logic.create();

    m_user = new QLabel(m_logic.userLabel(), this);
    m_user->setObjectName(QStringLiteral("Label1"));
    m_all = makeList(RightsForm::SrcList, QStringLiteral("全部菜单"));
    m_usable = makeList(RightsForm::DstList, QStringLiteral("可使用的菜单"));

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(makeButton(RightsForm::IncludeBtn, QStringLiteral(">")));
    moves->addWidget(makeButton(RightsForm::IncAllBtn, QStringLiteral(">>")));
    moves->addWidget(makeButton(RightsForm::ExcludeBtn, QStringLiteral("<")));
    moves->addWidget(makeButton(RightsForm::ExAllBtn, QStringLiteral("<<")));
    moves->addStretch();
    connect(m_buttons.value(RightsForm::IncludeBtn), &QPushButton::clicked, this,
            [this] { run([this] { m_logic.include(selectedRows(m_all)); }); });
    connect(m_buttons.value(RightsForm::IncAllBtn), &QPushButton::clicked, this,
            [this] { run([this] { m_logic.includeAll(); }); });
    connect(m_buttons.value(RightsForm::ExcludeBtn), &QPushButton::clicked, this,
            [this] { run([this] { m_logic.exclude(selectedRows(m_usable)); }); });
    connect(m_buttons.value(RightsForm::ExAllBtn), &QPushButton::clicked, this,
            [this] { run([this] { m_logic.excludeAll(); }); });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("全部菜单"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("可使用的菜单"), this), 0, 2);
    grid->addWidget(m_all, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_usable, 1, 2);

    auto* ok = new QPushButton(QStringLiteral("确认"), this);
    ok->setObjectName(RightsForm::OkBtn);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { run([this] { m_logic.confirm(); }); });
    auto* cancel = new QPushButton(QStringLiteral("退出"), this);
    cancel->setObjectName(RightsForm::CancelBtn);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(m_user);
    layout->addLayout(grid);
    layout->addLayout(bottom);
    refresh();
}

QListWidget* RightsDialog::makeList(const QString& name, const QString& caption)
{
    auto* list = new QListWidget(this);
    list->setObjectName(name);
    list->setAccessibleName(caption);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setMinimumSize(160, 180);
    return list;
}

QPushButton* RightsDialog::makeButton(const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedWidth(48);
    m_buttons.insert(name, b);
    return b;
}

QList<int> RightsDialog::selectedRows(QListWidget* list) const
{
    QList<int> rows;
    for (QListWidgetItem* item : list->selectedItems())
        rows << list->row(item);
    return rows;
}

void RightsDialog::run(const std::function<void()>& action)
{
    if (!m_ready)
        return;
    action();
    refresh();
}

void RightsDialog::refresh()
{
    m_all->clear();
    m_all->addItems(m_logic.lists().all());
    m_usable->clear();
    m_usable->addItems(m_logic.lists().usable());
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it)
        it.value()->setEnabled(m_ready && m_logic.isEnabled(it.key()));
    QListWidget* focused = m_logic.focusField() == RightsForm::DstList ? m_usable : m_all;
    const int row = m_logic.lists().selectedRow();
    if (row >= 0 && row < focused->count())
        focused->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    focused->setFocus();
}

void RightsDialog::exec(const QString& userNumber, QWidget* parent)
{
    RightsDialog dialog(userNumber, parent ? parent->window() : nullptr);
    if (!dialog.isReady())
        return; // the reason was shown
    dialog.adjustSize();
    if (QWidget* top = parent ? parent->window() : nullptr)
        dialog.move(top->frameGeometry().center() - dialog.rect().center());
    dialog.QDialog::exec();
}
