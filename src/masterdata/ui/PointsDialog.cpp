#include "masterdata/ui/PointsDialog.h"

#include "core/ui/FormBuilder.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PointsDialog::PointsDialog(const LogicFactory& makeLogic, QWidget* parent) : QDialog(parent), m_ui(this)
{
    m_logic = makeLogic(m_ui);
    const PointsKind& kind = m_logic->kind();
    setObjectName(kind.formName);
    setWindowTitle(kind.caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_ready = m_logic->create();

    m_form = new FormBuilder(this);
    m_form->setState(m_logic.get());
    m_form->setEdited([this](const QString& field, const QString& text) { m_logic->setText(field, text); });
    m_form->setEnter([this](const QString& field) { run([this, field] { m_logic->enterPressed(field); }); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->setSpacing(12);
    m_heading = new QLabel(m_logic->heading(), this);
    m_heading->setObjectName(QStringLiteral("heading"));
    layout->addWidget(m_heading);

    auto* row = new QHBoxLayout;
    auto* before = new QLabel(kind.before, this);
    auto* entry = new QLineEdit(this);
    entry->setObjectName(PointsForm::Entry);
    entry->setAccessibleName(kind.accessibleName);
    entry->setMinimumWidth(120);
    before->setBuddy(entry);
    row->addWidget(before);
    row->addWidget(entry, 1);
    for (const QString& text : kind.after)
        row->addWidget(new QLabel(text, this));
    m_form->addEntry(PointsForm::Entry, entry);
    layout->addLayout(row);

    layout->addLayout(m_form->confirmAndClose(PointsForm::Confirm, [this] { run([this] { m_logic->confirm(); }); }));

    m_form->refresh(*m_logic);
}

PointsDialog::~PointsDialog() = default;

void PointsDialog::run(const std::function<void()>& action)
{
    if (!m_ready)
        return;
    action();
    m_heading->setText(m_logic->heading());
    m_form->refresh(*m_logic);
}

void PointsDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entry; it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PointsDialog::exec(const LogicFactory& makeLogic, QWidget* parent)
{
    PointsDialog dialog(makeLogic, parent ? parent->window() : nullptr);
    if (!dialog.isReady())
        return;
    dialog.adjustSize();
    if (QWidget* top = parent ? parent->window() : nullptr)
        dialog.move(top->frameGeometry().center() - dialog.rect().center());
    dialog.QDialog::exec();
}
