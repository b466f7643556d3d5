#include "core/ui/RecordDialog.h"

#include "core/ui/FormBuilder.h"
#include "core/ui/ToolBar.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

RecordDialog::RecordDialog(const LogicFactory& makeLogic, const QString& key, QWidget* parent)
    : QDialog(parent), m_ui(this)
{
    m_logic = makeLogic(m_ui);
    RecordForm& logic = *m_logic;
    setObjectName(logic.formName());
    setWindowTitle(logic.caption());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    m_form = new FormBuilder(this);
    m_form->setState(m_logic.get());
    m_form->setEdited([this](const QString& field, const QString& text) {
        m_logic->edited(field, text);
        m_form->refresh(*m_logic);
    });
    m_form->setEnter([this](const QString& field) { run([this, field] { m_logic->enterPressed(field); }); });

    const bool edit = logic.mode() == RecordForm::Mode::Edit;
    if (edit) {
        auto* bar = new ToolBar(this);
        const auto press = [this](std::function<void()> action) { return [this, action] { run(action); }; };
        const QList<Tool> tools{
            {RecordForm::Save, QStringLiteral("保存"), QStyle::SP_DialogSaveButton, press([this] { m_logic->save(); }),
             QKeySequence(Qt::CTRL | Qt::Key_S)},
            {QStringLiteral("first"), QStringLiteral("首条"), QStyle::SP_MediaSkipBackward,
             press([this] { m_logic->first(); }), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            {QStringLiteral("prior"), QStringLiteral("上条"), QStyle::SP_MediaSeekBackward,
             press([this] { m_logic->prior(); }), QKeySequence(Qt::Key_PageUp)},
            {QStringLiteral("next"), QStringLiteral("下条"), QStyle::SP_MediaSeekForward,
             press([this] { m_logic->next(); }), QKeySequence(Qt::Key_PageDown)},
            {QStringLiteral("last"), QStringLiteral("末条"), QStyle::SP_MediaSkipForward,
             press([this] { m_logic->last(); }), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        };
        for (const Tool& t : tools)
            m_form->addButton(t.name, bar->add(t));
        bar->addSeparator();
        bar->add({QStringLiteral("close"), QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, [this] { reject(); }});
        layout->addWidget(bar);
    }

    m_ready = logic.create(key);
    QHash<QString, QStringList> choices;
    for (const FormField& f : logic.fields())
        choices.insert(f.name, logic.choices(f.name));
    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(16, 12, 16, 12);
    bodyLayout->addLayout(m_form->build(logic.fields(), choices, logic.fields().size() > 8 ? 2 : 1));
    layout->addWidget(body);

    if (!edit) {
        layout->addLayout(m_form->confirmAndClose(RecordForm::Confirm, [this] { run([this] { m_logic->confirm(); }); }));
    }
    refresh();
}

RecordDialog::~RecordDialog() = default;

void RecordDialog::run(const std::function<void()>& action)
{
    if (!m_ready)
        return;
    action();
    refresh();
}

void RecordDialog::refresh()
{
    m_form->refresh(*m_logic);
}

void RecordDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entries (their order); it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RecordDialog::exec(const LogicFactory& makeLogic, const QString& key, QWidget* parent)
{
    RecordDialog dialog(makeLogic, key, parent ? parent->window() : nullptr);
    if (!dialog.isReady())
        return; // the reason was shown
    dialog.adjustSize();
    if (QWidget* top = parent ? parent->window() : nullptr)
        dialog.move(top->frameGeometry().center() - dialog.rect().center());
    dialog.QDialog::exec();
}
