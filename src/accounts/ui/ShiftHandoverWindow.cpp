#include "accounts/ui/ShiftHandoverWindow.h"

#include "core/ui/FormBuilder.h"
#include "core/ui/QueryTableModel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

FormField field(const QString& name, const QString& label, bool readOnly = false,
                FormField::Kind kind = FormField::Kind::Line)
{
    FormField f;
    f.name = name;
    f.label = label;
    f.readOnly = readOnly;
    f.kind = kind;
    return f;
}

} // namespace

ShiftHandoverWindow::ShiftHandoverWindow(QWidget* parent) : QDialog(parent), m_ui(this), m_logic(m_ui)
{
    using H = ShiftHandover;
    setObjectName(QStringLiteral("Tjbjs_form"));
    setWindowTitle(QStringLiteral("交班结算"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_form = new FormBuilder(this);
    m_form->setState(&m_logic);
    m_form->setEdited([this](const QString& name, const QString& text) { m_logic.setText(name, text); });
    m_form->setEnter([this](const QString& name) { run([this, name] { m_logic.enterPressed(name); }); });

    auto button = [this](const QString& name, const QString& text, const std::function<void()>& action) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        connect(b, &QPushButton::clicked, this, action);
        m_form->addEntry(name, b);
        return b;
    };

    // The handover.
    auto* main = m_form->build({field(H::Boxje, QStringLiteral("钱箱金额"), true),
                                field(H::Jbje, QStringLiteral("交班金额")),
                                field(H::Boxye, QStringLiteral("交班后余额"), true),
                                field(H::Jbjl, QStringLiteral("交班记录加入现金流水账"), false, FormField::Kind::Check)},
                               {});
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button(H::HandOver, QStringLiteral("交班"), [this] { run([this] { m_logic.handOver(); }); }));
    buttons->addWidget(
        button(H::Adjust, QStringLiteral("调整"), [this] { run([this] { m_logic.toggleAdjustment(); }); }));
    buttons->addWidget(button(H::Close, QStringLiteral("关闭"), [this] { reject(); }));

    // The adjustment panel, hidden at first.
    m_panel = new QGroupBox(QStringLiteral("钱箱金额调整"), this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->addLayout(m_form->build(
        {field(H::Tzje, QStringLiteral("钱箱金额")), field(H::Tzyy, QStringLiteral("调整原因"))}, {}));
    auto* confirmRow = new QHBoxLayout;
    confirmRow->addStretch();
    QPushButton* confirm = button(H::Confirm, QStringLiteral("确认"), [this] { run([this] { m_logic.adjust(); }); });
    confirm->setParent(m_panel);
    confirmRow->addWidget(confirm);
    panelLayout->addLayout(confirmRow);

    // The latest changes of the cash box.
    auto* auditTitle = new QLabel(QStringLiteral("钱箱金额变动记录（最近十次）"), this);
    auditTitle->setStyleSheet(QStringLiteral("font-weight: bold; color: #1f4e8c;"));
    m_audit = new QTableView(this);
    m_audit->setObjectName(QStringLiteral("DBGrid1"));
    m_audit->setFocusPolicy(Qt::NoFocus);
    m_auditModel = new QueryTableModel(m_logic.audit(), ShiftHandover::auditColumns(), this);
    m_audit->setModel(m_auditModel);
    QueryTableModel::setUpGrid(m_audit, ShiftHandover::auditColumns());
    m_audit->setMinimumHeight(m_audit->verticalHeader()->defaultSectionSize() * 6);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(10);
    layout->addLayout(main);
    layout->addLayout(buttons);
    layout->addWidget(m_panel);
    layout->addWidget(auditTitle);
    layout->addWidget(m_audit, 1);
    resize(680, 560);

    m_ready = m_logic.create();
    refresh();
}

ShiftHandoverWindow::~ShiftHandoverWindow() = default;

void ShiftHandoverWindow::run(const std::function<void()>& operation)
{
    if (!m_ready)
        return;
    operation();
    refresh();
}

void ShiftHandoverWindow::refresh()
{
    m_panel->setVisible(m_logic.adjustmentVisible());
    m_auditModel->reset();
    m_form->refresh(m_logic);
}

void ShiftHandoverWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entries and the focused button; it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
