#include "core/ui/RecordDialog.h"

#include "core/ui/FormBuilder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
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
        auto* bar = new QToolBar(this);
        bar->setObjectName(QStringLiteral("ToolBar1"));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setMovable(false);
        struct Tool {
            QString name, text;
            QStyle::StandardPixmap icon;
            std::function<void()> action;
        };
        const QList<Tool> tools{
            {RecordForm::Save, QStringLiteral("保存"), QStyle::SP_DialogSaveButton, [this] { m_logic->save(); }},
            {QStringLiteral("first"), QStringLiteral("首条"), QStyle::SP_MediaSkipBackward, [this] { m_logic->first(); }},
            {QStringLiteral("prior"), QStringLiteral("上条"), QStyle::SP_MediaSeekBackward, [this] { m_logic->prior(); }},
            {QStringLiteral("next"), QStringLiteral("下条"), QStyle::SP_MediaSeekForward, [this] { m_logic->next(); }},
            {QStringLiteral("last"), QStringLiteral("末条"), QStyle::SP_MediaSkipForward, [this] { m_logic->last(); }},
        };
        for (const Tool& t : tools) {
            QToolButton* b = toolButton(t.name, t.text, t.icon);
            connect(b, &QToolButton::clicked, this, [this, action = t.action] { run(action); });
            bar->addWidget(b);
            m_form->addButton(t.name, b);
        }
        bar->addSeparator();
        QToolButton* close = toolButton(QStringLiteral("close"), QStringLiteral("关闭"), QStyle::SP_DialogCloseButton);
        connect(close, &QToolButton::clicked, this, &QDialog::reject);
        bar->addWidget(close);
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
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        auto* confirm = new QPushButton(QStringLiteral("确认"), this);
        confirm->setObjectName(RecordForm::Confirm);
        confirm->setAutoDefault(false);
        connect(confirm, &QPushButton::clicked, this, [this] { run([this] { m_logic->confirm(); }); });
        auto* close = new QPushButton(QStringLiteral("关闭"), this);
        close->setObjectName(QStringLiteral("close"));
        close->setAutoDefault(false);
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(confirm);
        buttons->addWidget(close);
        m_form->addButton(RecordForm::Confirm, confirm);
        m_form->addButton(QStringLiteral("close"), close);
        layout->addLayout(buttons);
    }
    refresh();
}

RecordDialog::~RecordDialog() = default;

QToolButton* RecordDialog::toolButton(const QString& name, const QString& text, QStyle::StandardPixmap icon)
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    b->setAccessibleName(text);
    b->setIcon(style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

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
