#include "admin/ui/InitializationDialog.h"

#include "core/ui/FormBuilder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

InitializationDialog::InitializationDialog(QWidget* parent) : QDialog(parent), m_ui(this), m_logic(m_ui)
{
    setObjectName(QStringLiteral("Tcsh_form"));
    setWindowTitle(QStringLiteral("系统初始化"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_ready = m_logic.create();

    m_form = new FormBuilder(this);
    m_form->setState(&m_logic);
    m_form->setEdited([this](const QString& field, const QString& text) { m_logic.setText(field, text); });
    FormFields boxes;
    for (const Initialization::Group& g : Initialization::groups()) {
        FormField box;
        box.name = g.box;
        box.label = g.caption;
        box.kind = FormField::Kind::Check;
        boxes << box;
    }
    auto* group = new QGroupBox(QStringLiteral("初始化数据"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->setContentsMargins(24, 16, 24, 16);
    groupLayout->addLayout(m_form->build(boxes, {}, 2));

    auto* confirm = new QPushButton(QStringLiteral("确认"), this);
    confirm->setObjectName(QStringLiteral("confirm"));
    confirm->setEnabled(m_ready);
    connect(confirm, &QPushButton::clicked, this, [this] {
        if (!m_ready)
            return;
        m_logic.confirm();
        m_form->refresh(m_logic);
    });
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    m_form->refresh(m_logic);
}
