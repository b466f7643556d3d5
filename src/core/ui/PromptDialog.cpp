#include "core/ui/PromptDialog.h"

#include "core/ui/PromptDialogWindow.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PromptDialogWindow::PromptDialogWindow(const PromptSpec& spec, QWidget* parent) : QDialog(parent), m_spec(spec)
{
    setObjectName(spec.formName);
    setWindowTitle(spec.caption);
    // A close box only: no help or resize buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_question = new QLabel(spec.question, this);
    m_question->setObjectName(QStringLiteral("Label1"));

    m_field = new QLineEdit(spec.defaultText, this);
    m_field->setObjectName(spec.fieldName);
    m_field->setMinimumWidth(260);
    m_field->installEventFilter(this);

    m_confirm = new QPushButton(QStringLiteral("确认"), this);
    m_confirm->setObjectName(QStringLiteral("Button1"));
    m_quit = new QPushButton(QStringLiteral("退出"), this);
    m_quit->setObjectName(QStringLiteral("Button2"));
    // Enter presses only the button that has the focus; the field's Enter moves to "确认".
    m_confirm->setAutoDefault(true);
    m_quit->setAutoDefault(true);
    m_confirm->setDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_quit);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(m_question);
    layout->addWidget(m_field);
    layout->addLayout(buttons);

    setTabOrder(m_field, m_confirm);
    setTabOrder(m_confirm, m_quit);
    m_field->setFocus();
    m_field->selectAll();

    connect(m_confirm, &QPushButton::clicked, this, &PromptDialogWindow::confirm);
    connect(m_quit, &QPushButton::clicked, this, &PromptDialogWindow::quit);
}

bool PromptDialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_confirm->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PromptDialogWindow::confirm()
{
    // The text exactly as typed: the opening screen converts and checks it.
    m_answer = m_field->text();
    m_outcome = Outcome::Confirmed;
    accept();
}

void PromptDialogWindow::quit()
{
    m_answer = QStringLiteral("~");
    m_outcome = Outcome::Quit;
    accept();
}

void PromptDialogWindow::writeAnswer(QString& answer) const
{
    if (m_outcome != Outcome::None)
        answer = m_answer;
}

namespace PromptDialog {

void run(const PromptSpec& spec, QString& answer, QWidget* parent)
{
    PromptDialogWindow dialog(spec, parent);
    dialog.adjustSize();
    // Centred on the main window (the asking window where there is none).
    const QWidget* centre = parent ? parent->window() : nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("Tf_main") && w->isVisible()) {
            centre = w;
            break;
        }
    }
    if (centre)
        dialog.move(centre->frameGeometry().center() - dialog.rect().center());
    dialog.exec();
    dialog.writeAnswer(answer);
}

} // namespace PromptDialog
