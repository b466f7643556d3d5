#include "sales/ui/CheckoutDialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CheckoutDialog::CheckoutDialog(const SaleKind& kind, const SaleHandover& handover, QWidget* parent)
    : QDialog(parent), m_checkout(kind, handover, m_ui)
{
    setObjectName(kind.checkoutForm);
    setWindowTitle(kind.checkoutCaption);
    // No title-bar buttons: the dialog is left by its own two buttons or Esc.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setMinimumWidth(520);
    // The till's own look sets the entries' background, and a window's style sheet wins over the
    // program's, so it states the focus colour again.
    setStyleSheet(QStringLiteral(
        "QDialog { background: #f4f6f9; }"
        "QLabel { font-size: 26px; font-weight: bold; color: #333; }"
        "QLineEdit, QComboBox { font-size: 30px; font-weight: bold; padding: 4px 8px; border: 1px solid #aab4c3;"
        "  border-radius: 3px; background: white; }"
        "QLineEdit:read-only { background: #eef1f5; }"
        "QLineEdit:focus, QComboBox:focus { background-color: rgb(166, 202, 240); }"
        "QPushButton { font-size: 18px; padding: 10px 24px; }"
        "QPushButton:focus { border: 2px solid #1f4e8c; }"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(12);
    auto addRow = [&](int row, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    m_zf = new QComboBox(this);
    m_zf->setObjectName(Checkout::Zf);
    m_zf->setEditable(true);
    m_zf->setInsertPolicy(QComboBox::NoInsert);
    m_zf->addItems(Checkout::paymentMethods());
    // The list takes the keys itself and hands the rest straight to its text field, past any
    // filter: both are watched.
    m_zf->installEventFilter(this);
    m_zf->lineEdit()->installEventFilter(this);
    addRow(0, QStringLiteral("支付"), m_zf);
    for (const QString& name : {Checkout::Hj, Checkout::Sk, Checkout::Zhao}) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAlignment(Qt::AlignRight);
        edit->setReadOnly(name != Checkout::Sk);
        edit->installEventFilter(this);
        m_edits.insert(name, edit);
    }
    m_edits.value(Checkout::Hj)->setStyleSheet(QStringLiteral("color: #c0392b;"));
    addRow(1, QStringLiteral("合计"), m_edits.value(Checkout::Hj));
    addRow(2, kind.amountLabel, m_edits.value(Checkout::Sk));
    addRow(3, QStringLiteral("找还"), m_edits.value(Checkout::Zhao));
    connect(m_edits.value(Checkout::Sk), &QLineEdit::textEdited, this, [this](const QString& text) {
        m_checkout.setText(Checkout::Sk, text);
        const QString change = m_checkout.text(Checkout::Zhao);
        if (m_edits.value(Checkout::Zhao)->text() != change)
            m_edits.value(Checkout::Zhao)->setText(change);
    });

    m_confirm = new QPushButton(kind.confirmButton, this);
    m_confirm->setObjectName(Checkout::Button1);
    m_confirm->setAutoDefault(false);
    m_confirm->setStyleSheet(QStringLiteral("QPushButton { background: #2e8b57; color: white; font-weight: bold; }"));
    m_confirm->installEventFilter(this);
    m_back = new QPushButton(QStringLiteral("返回修改"), this);
    m_back->setObjectName(QStringLiteral("Button2"));
    m_back->setAutoDefault(false);
    m_back->installEventFilter(this);
    connect(m_confirm, &QPushButton::clicked, this, &CheckoutDialog::confirm);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_back);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(20);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(m_edits.value(Checkout::Sk), m_confirm);
    setTabOrder(m_confirm, m_back);
    setTabOrder(m_back, m_zf);

    m_ready = m_checkout.create();
    if (m_ready)
        refresh();
}

CheckoutDialog::~CheckoutDialog() = default;

CheckoutAnswer CheckoutDialog::run(const SaleKind& kind, const SaleHandover& handover, QWidget* parent)
{
    CheckoutDialog dialog(kind, handover, parent);
    if (!dialog.isReady())
        return {};
    dialog.exec();
    return dialog.checkout().answer();
}

bool CheckoutDialog::event(QEvent* event)
{
    const bool result = QDialog::event(event);
    // Speaks the amount due each time the dialog becomes the active window.
    if (event->type() == QEvent::WindowActivate && m_ready && !m_speaking) {
        m_speaking = true;
        m_checkout.activate();
        m_speaking = false;
    }
    return result;
}

bool CheckoutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_confirm || watched == m_back) {
        if (enter) {
            static_cast<QPushButton*>(watched)->click();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (key->key() == Qt::Key_Escape)
        return QDialog::eventFilter(watched, event);
    QString field;
    if (watched == m_zf || watched == m_zf->lineEdit())
        field = Checkout::Zf;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) {
        if (it.value() == watched)
            field = it.key();
    }
    if (field == Checkout::Zhao) {
        // Any key in the change moves on to the confirm button.
        pullFields();
        m_checkout.keyInChange();
        refresh();
        return true;
    }
    if (enter && !field.isEmpty()) {
        pullFields();
        m_checkout.enterPressed(field);
        refresh();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CheckoutDialog::pullFields()
{
    m_checkout.setText(Checkout::Zf, m_zf->currentText());
    m_checkout.setText(Checkout::Sk, m_edits.value(Checkout::Sk)->text());
}

void CheckoutDialog::refresh()
{
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) {
        if (it.value()->text() != m_checkout.text(it.key()))
            it.value()->setText(m_checkout.text(it.key()));
    }
    if (m_zf->currentText() != m_checkout.text(Checkout::Zf))
        m_zf->setEditText(m_checkout.text(Checkout::Zf));
    const QString focus = m_checkout.focusField();
    QWidget* target = nullptr;
    if (focus == Checkout::Button1)
        target = m_confirm;
    else if (focus == Checkout::Zf)
        target = m_zf;
    else
        target = m_edits.value(focus);
    if (target) {
        target->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(target); edit && m_checkout.focusSelectAll())
            edit->selectAll();
    }
}

void CheckoutDialog::confirm()
{
    pullFields();
    if (m_checkout.postSale()) {
        accept();
        return;
    }
    refresh();
}
