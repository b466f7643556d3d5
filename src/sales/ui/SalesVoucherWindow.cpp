#include "sales/ui/SalesVoucherWindow.h"

#include "core/TextUtil.h"
#include "core/ui/FormBuilder.h"
#include "core/ui/QueryTableModel.h"
#include "core/ui/ToolBar.h"
#include "sales/ui/CheckoutDialog.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

SalesVoucherWindow::SalesVoucherWindow(const SaleKind& kind, QWidget* parent) : QDialog(parent), m_voucher(kind, m_ui)
{
    setObjectName(kind.screenForm);
    setWindowTitle(kind.screenCaption);
    buildLayout();
    FormBuilder::nameEntriesByCaptions(this);
    m_ready = m_voucher.create();
    if (m_ready)
        refresh();
    if (kind.hasClock) {
        m_timer = new QTimer(this);
        m_timer->setInterval(1000);
        connect(m_timer, &QTimer::timeout, this, &SalesVoucherWindow::tick);
        m_timer->start();
        tick();
    }
}

SalesVoucherWindow::~SalesVoucherWindow() = default;

QLineEdit* SalesVoucherWindow::addField(const QString& name, bool readOnly)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    edit->installEventFilter(this);
    m_edits.insert(name, edit);
    return edit;
}

void SalesVoucherWindow::buildLayout()
{
    const SaleKind& kind = m_voucher.kind();
    setMinimumSize(1000, 680);
    // The till's own look sets the entries' background, and a window's style sheet wins over the
    // program's, so it states the focus colour again.
    setStyleSheet(QStringLiteral(
        "QDialog { background: #f4f6f9; }"
        "QLineEdit, QComboBox { padding: 3px 5px; border: 1px solid #aab4c3; border-radius: 3px; background: white; }"
        "QLineEdit:read-only { background: #eef1f5; }"
        "QLineEdit:focus, QComboBox:focus { background-color: rgb(166, 202, 240); }"
        "QPushButton { padding: 8px 12px; font-size: 14px; }"
        "QTableView { background: white; alternate-background-color: #f2f7fd; gridline-color: #d5dbe3;"
        "  selection-background-color: #3d7cc9; selection-color: white; }"
        "QHeaderView::section { background: #e3e8ef; padding: 4px; border: none; border-right: 1px solid #c8d0da;"
        "  font-weight: bold; }"));

    // Banner: title, clock and the close button.
    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setStyleSheet(QStringLiteral("#banner { background: #1f4e8c; } #banner QLabel { color: white; }"));
    auto* bannerLayout = new QHBoxLayout(banner);
    bannerLayout->setContentsMargins(16, 8, 12, 8);
    auto* title = new QLabel(kind.screenTitle, banner);
    title->setObjectName(QStringLiteral("Label1"));
    title->setStyleSheet(QStringLiteral("font-size: 24px; font-weight: bold;"));
    bannerLayout->addWidget(title);
    bannerLayout->addStretch();
    if (kind.hasClock) {
        m_clock = new QLabel(banner);
        m_clock->setObjectName(QStringLiteral("Label13"));
        m_clock->setStyleSheet(QStringLiteral("font-size: 15px;"));
        bannerLayout->addWidget(m_clock);
        bannerLayout->addSpacing(16);
    }
    auto* close = new QToolButton(banner);
    close->setObjectName(QStringLiteral("ToolButton5"));
    close->setText(QStringLiteral("关闭"));
    close->setFocusPolicy(Qt::NoFocus);
    close->setStyleSheet(QStringLiteral("QToolButton { color: white; font-size: 14px; padding: 4px 14px;"
                                        " border: 1px solid #9db7da; border-radius: 3px; }"
                                        "QToolButton:hover { background: #2d64ad; }"));
    connect(close, &QToolButton::clicked, this, &QDialog::close);
    bannerLayout->addWidget(close);

    // Header fields.
    auto* header = new QGridLayout;
    header->setHorizontalSpacing(8);
    header->setVerticalSpacing(6);
    header->addWidget(caption(QStringLiteral("单据编号"), this), 0, 0);
    header->addWidget(addField(SalesVoucher::Djbh, true), 0, 1);
    header->addWidget(caption(QStringLiteral("操作员"), this), 0, 2);
    header->addWidget(addField(SalesVoucher::Czy, true), 0, 3);
    header->addWidget(caption(QStringLiteral("日期"), this), 0, 4);
    header->addWidget(addField(SalesVoucher::Rq, true), 0, 5);
    header->addWidget(caption(QStringLiteral("仓    库"), this), 1, 0);
    m_ck = new QComboBox(this);
    m_ck->setObjectName(SalesVoucher::Ck);
    m_ck->setEditable(true);
    m_ck->setInsertPolicy(QComboBox::NoInsert);
    m_ck->installEventFilter(this);
    m_ck->lineEdit()->installEventFilter(this);
    header->addWidget(m_ck, 1, 1);
    header->addWidget(caption(QStringLiteral("折  扣"), this), 1, 2);
    auto* discountBox = new QHBoxLayout;
    discountBox->addWidget(addField(SalesVoucher::Zhekou, true));
    auto* f12 = new QLabel(QStringLiteral("F12修改"), this);
    f12->setStyleSheet(QStringLiteral("color: #6b7685;"));
    discountBox->addWidget(f12);
    header->addLayout(discountBox, 1, 3);
    header->addWidget(caption(QStringLiteral("客户"), this), 1, 4);
    header->addWidget(addField(SalesVoucher::Kh, false), 1, 5);
    for (int c : {1, 3, 5})
        header->setColumnStretch(c, 1);

    // The lines.
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_model = new QueryTableModel(m_voucher.lines(), SalesVoucher::gridColumns(), this);
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(28);
    // The name takes what the figures leave.
    const int widths[] = {0, 90, 90, 80, 90, 80, 110, 70, 110};
    for (int c = 1; c < int(std::size(widths)); ++c) {
        m_grid->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Fixed);
        m_grid->setColumnWidth(c, widths[c]);
    }
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_grid->setStyleSheet(QStringLiteral("QTableView { font-size: 15px; }"));
    m_grid->installEventFilter(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_voucher.setCurrentLine(current.row());
            });

    // Totals, large.
    auto* totals = new QHBoxLayout;
    totals->addStretch();
    const QString totalLabel = QStringLiteral("font-size: 20px; font-weight: bold; color: #333;");
    auto* qtyLabel = new QLabel(QStringLiteral("合计数量"), this);
    qtyLabel->setStyleSheet(totalLabel);
    totals->addWidget(qtyLabel);
    QLineEdit* hjsl = addField(SalesVoucher::Hjsl, true);
    hjsl->setFocusPolicy(Qt::ClickFocus);
    hjsl->setAlignment(Qt::AlignRight);
    hjsl->setFixedWidth(120);
    hjsl->setStyleSheet(QStringLiteral("font-size: 26px; font-weight: bold;"));
    totals->addWidget(hjsl);
    totals->addSpacing(30);
    auto* amountLabel = new QLabel(QStringLiteral("合计金额"), this);
    amountLabel->setStyleSheet(totalLabel);
    totals->addWidget(amountLabel);
    QLineEdit* hjje = addField(SalesVoucher::Hjje, true);
    hjje->setFocusPolicy(Qt::ClickFocus);
    hjje->setAlignment(Qt::AlignRight);
    hjje->setFixedWidth(220);
    hjje->setStyleSheet(QStringLiteral("font-size: 34px; font-weight: bold; color: #c0392b;"));
    totals->addWidget(hjje);

    // The entry row.
    auto* entry = new QHBoxLayout;
    const QString entryStyle = QStringLiteral("font-size: 20px;");
    auto* nameLabel = new QLabel(QStringLiteral("商品名"), this);
    nameLabel->setStyleSheet(entryStyle);
    entry->addWidget(nameLabel);
    QLineEdit* spmc = addField(SalesVoucher::Spmc, false);
    spmc->setStyleSheet(QStringLiteral("font-size: 22px;"));
    spmc->setMinimumWidth(300);
    entry->addWidget(spmc, 3);
    QToolButton* pick = PickButton::make(QStringLiteral("SpeedButton2"), QStringLiteral("商品选择"), spmc,
                                         [this] { run([this] { m_voucher.pickProduct(); }); }, this);
    pick->setMinimumHeight(36);
    entry->addWidget(pick);
    auto* hint = new QLabel(QStringLiteral("（条码\\编码\\拼音码）"), this);
    hint->setStyleSheet(QStringLiteral("color: #6b7685;"));
    entry->addWidget(hint);
    entry->addSpacing(12);
    auto* slLabel = new QLabel(QStringLiteral("数量"), this);
    slLabel->setStyleSheet(entryStyle);
    entry->addWidget(slLabel);
    QLineEdit* sl = addField(SalesVoucher::Sl, false);
    sl->setStyleSheet(QStringLiteral("font-size: 22px;"));
    sl->setFixedWidth(90);
    entry->addWidget(sl);
    auto* priceLabel = new QLabel(QStringLiteral("售价"), this);
    priceLabel->setStyleSheet(entryStyle);
    entry->addWidget(priceLabel);
    QLineEdit* shoujia = addField(SalesVoucher::Shoujia, false);
    shoujia->setStyleSheet(QStringLiteral("font-size: 22px;"));
    shoujia->setFixedWidth(120);
    entry->addWidget(shoujia);

    // The buttons, each with its key.
    auto* buttons = new QHBoxLayout;
    auto addButton = [&](const QString& name, const QString& text, const std::function<void()>& op) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumHeight(40);
        connect(b, &QPushButton::clicked, this, [this, op] { run(op); });
        buttons->addWidget(b);
        return b;
    };
    if (kind.canHold) {
        addButton(QStringLiteral("Button1"), QStringLiteral("挂单（F5）"), [this] { m_voucher.holdVoucher(); });
        addButton(QStringLiteral("Button2"), QStringLiteral("取单（F6）"), [this] { m_voucher.recallVoucher(); });
    }
    addButton(QStringLiteral("Button3"), QStringLiteral("删除（F7）"), [this] { m_voucher.deleteLine(); });
    addButton(QStringLiteral("Button5"), QStringLiteral("作废（F8）"), [this] { m_voucher.voidVoucher(); });
    addButton(QStringLiteral("Button4"), QStringLiteral("会员（PgUp）"), [this] { m_voucher.findMember(); });
    addButton(QStringLiteral("Button6"), QStringLiteral("重打小票 (F9)"), [this] { m_voucher.reprintReceipt(); });
    QPushButton* pay = addButton(QStringLiteral("hcbc"), kind.checkoutButton, [this] { checkout(); });
    pay->setStyleSheet(
        QStringLiteral("QPushButton { background: #2e8b57; color: white; font-weight: bold; font-size: 16px;"
                       " border-radius: 4px; padding: 8px 22px; }"));

    auto* body = new QVBoxLayout;
    body->setContentsMargins(14, 10, 14, 12);
    body->setSpacing(10);
    body->addLayout(header);
    body->addWidget(m_grid, 1);
    body->addLayout(totals);
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setStyleSheet(QStringLiteral("color: #c8d0da;"));
    body->addWidget(separator);
    body->addLayout(entry);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner);
    layout->addLayout(body, 1);

    // Enter goes down the header fields and then the entry row.
    setTabOrder(spmc, sl);
    setTabOrder(sl, shoujia);
}

QSize SalesVoucherWindow::sizeHint() const
{
    QSize size = minimumSize();
    if (const QScreen* s = screen()) {
        const QSize available = s->availableGeometry().size();
        size = size.expandedTo(QSize(available.width() * 9 / 10, available.height() * 9 / 10));
        size = size.boundedTo(QSize(1400, 900)).expandedTo(minimumSize());
    }
    return size;
}

void SalesVoucherWindow::tick()
{
    if (m_clock)
        m_clock->setText(SalesVoucher::clockText());
}

void SalesVoucherWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_ready) {
        // The screen could not start (its reason was shown): close again at once.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    refresh();
}

QString SalesVoucherWindow::fieldOf(QObject* watched) const
{
    if (watched == m_ck || (m_ck && watched == m_ck->lineEdit()))
        return SalesVoucher::Ck;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) {
        if (it.value() == watched)
            return it.key();
    }
    return QString();
}

bool SalesVoucherWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (handleKey(watched, static_cast<QKeyEvent*>(event)))
            return true;
    } else if (event->type() == QEvent::FocusIn && !m_busy) {
        const QString field = fieldOf(watched);
        if (!field.isEmpty())
            m_voucher.setFocusField(field);
    }
    return QDialog::eventFilter(watched, event);
}

void SalesVoucherWindow::keyPressEvent(QKeyEvent* event)
{
    if (handleKey(nullptr, event))
        return;
    // The screen closes with "关闭" only; Esc would lose the cashier's place.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool SalesVoucherWindow::handleKey(QObject* watched, QKeyEvent* key)
{
    if (!m_ready || m_busy)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QString field = fieldOf(watched);
        if (field.isEmpty())
            return false;
        run([this, field] { m_voucher.enterPressed(field); });
        return true;
    }
    case Qt::Key_F5:
        run([this] { m_voucher.pressF5(); });
        return true;
    case Qt::Key_F6:
        run([this] { m_voucher.pressF6(); });
        return true;
    case Qt::Key_F7:
        run([this] { m_voucher.deleteLine(); });
        return true;
    case Qt::Key_F8:
        run([this] { m_voucher.voidVoucher(); });
        return true;
    case Qt::Key_F9:
        run([this] { m_voucher.reprintReceipt(); });
        return true;
    case Qt::Key_F12:
        run([this] { m_voucher.editDiscount(); });
        return true;
    case Qt::Key_PageUp:
        run([this] { m_voucher.findMember(); });
        return true;
    case Qt::Key_PageDown:
        checkout();
        return true;
    default:
        return false;
    }
}

void SalesVoucherWindow::pullFields()
{
    for (const QString& name :
         {SalesVoucher::Spmc, SalesVoucher::Sl, SalesVoucher::Shoujia, SalesVoucher::Zhekou, SalesVoucher::Kh}) {
        m_voucher.setText(name, m_edits.value(name)->text());
    }
    m_voucher.setText(SalesVoucher::Ck, m_ck->currentText());
}

void SalesVoucherWindow::run(const std::function<void()>& operation)
{
    if (!m_ready || m_busy)
        return;
    m_busy = true;
    pullFields();
    operation();
    m_busy = false;
    // A picker, prompt, message or the checkout may have taken the activation with it when it
    // closed; the cashier goes on typing here.
    if (isVisible() && !isActiveWindow())
        activateWindow();
    refresh();
}

void SalesVoucherWindow::checkout()
{
    const SaleKind& kind = m_voucher.kind();
    run([this, &kind] {
        m_voucher.startCheckout(
            [this, &kind](const SaleHandover& handover) { return CheckoutDialog::run(kind, handover, this); });
    });
}

void SalesVoucherWindow::refresh()
{
    const bool wasBusy = m_busy;
    m_busy = true;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) {
        if (it.value()->text() != m_voucher.text(it.key()))
            it.value()->setText(m_voucher.text(it.key()));
    }
    m_edits.value(SalesVoucher::Zhekou)->setReadOnly(m_voucher.discountReadOnly());
    m_edits.value(SalesVoucher::Shoujia)->setReadOnly(m_voucher.priceReadOnly());
    if (m_ck->count() != m_voucher.warehouses().size()) {
        m_ck->clear();
        m_ck->addItems(m_voucher.warehouses());
    }
    if (m_ck->currentText() != m_voucher.text(SalesVoucher::Ck)) {
        const int index = m_ck->findText(m_voucher.text(SalesVoucher::Ck));
        if (index >= 0)
            m_ck->setCurrentIndex(index);
        else
            m_ck->setEditText(m_voucher.text(SalesVoucher::Ck));
    }

    m_model->reset();
    if (m_model->rowCount() > 0) {
        const int row = qBound(0, m_voucher.currentLine(), m_model->rowCount() - 1);
        m_grid->selectRow(row);
        m_grid->scrollTo(m_model->index(row, 0));
    }

    const QString focus = m_voucher.focusField();
    const bool selectAll = m_voucher.focusSelectAll();
    QWidget* target = focus == SalesVoucher::Ck ? static_cast<QWidget*>(m_ck) : m_edits.value(focus);
    if (target) {
        target->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(target)) {
            if (selectAll)
                edit->selectAll();
            else
                edit->deselect();
        }
    }
    m_busy = wasBusy;
}
