#include "admin/ui/SettingsDialog.h"

#include "core/ui/FormBuilder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A page: its entries or boxes, then its 存盘 at the bottom right.
QWidget* page(QLayout* fields, QPushButton* save, QWidget* parent)
{
    auto* w = new QWidget(parent);
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(fields);
    layout->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(save);
    layout->addLayout(row);
    return w;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent), m_ui(this), m_logic(m_ui)
{
    setObjectName(QStringLiteral("Txtsz_form"));
    setWindowTitle(QStringLiteral("系统参数设置"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_ready = m_logic.create();

    m_form = new FormBuilder(this);
    m_form->setState(&m_logic);
    m_form->setEdited([this](const QString& field, const QString& text) { m_logic.setText(field, text); });
    m_form->setEnter([this](const QString& field) { run([this, field] { m_logic.enterPressed(field); }); });

    FormFields company;
    for (const SystemSettings::Field& f : SystemSettings::companyFields()) {
        FormField entry;
        entry.name = f.name;
        entry.label = f.caption;
        company << entry;
    }
    FormFields switches;
    for (const SystemSettings::Switch& s : SystemSettings::switches()) {
        FormField box;
        box.name = s.box;
        box.label = s.caption;
        box.kind = FormField::Kind::Check;
        switches << box;
    }

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    QPushButton* saveCompany = button(SettingsForm::SaveCompany, QStringLiteral("存盘"), this);
    QGridLayout* companyGrid = m_form->build(company, {});
    // Enter in the telephone rests on 存盘; the button takes part in the Enter order.
    m_form->addEntry(SettingsForm::SaveCompany, saveCompany);
    connect(saveCompany, &QPushButton::clicked, this, [this] { run([this] { m_logic.saveCompany(); }); });
    tabs->addTab(page(companyGrid, saveCompany, tabs), QStringLiteral("公司信息"));

    QPushButton* saveSwitches = button(SettingsForm::SaveSwitches, QStringLiteral("存盘"), this);
    connect(saveSwitches, &QPushButton::clicked, this, [this] { run([this] { m_logic.saveSwitches(); }); });
    tabs->addTab(page(m_form->build(switches, {}), saveSwitches, tabs), QStringLiteral("版本功能"));

    QPushButton* close = button(QStringLiteral("close"), QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(bottom);
    for (QPushButton* b : {saveCompany, saveSwitches})
        b->setEnabled(m_ready);
    m_form->refresh(m_logic);
}

void SettingsDialog::run(const std::function<void()>& action)
{
    if (!m_ready)
        return;
    action();
    m_form->refresh(m_logic);
}

void SettingsDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entries and their order; it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
