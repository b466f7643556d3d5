#include "stock/ui/GoodsVoucherWindow.h"

#include "core/ui/FormBuilder.h"
#include "core/ui/QueryTableModel.h"
#include "core/ui/ToolBar.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

GoodsVoucherWindow::GoodsVoucherWindow(const GoodsKind& kind, QWidget* parent)
    : QDialog(parent), m_ui(this), m_voucher(kind, m_ui)
{
    setObjectName(kind.screenForm);
    setWindowTitle(kind.screenCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_form = new FormBuilder(this);
    m_form->setState(&m_voucher);
    m_form->setEdited([this](const QString& field, const QString& text) { m_voucher.setText(field, text); });
    m_form->setEnter([this](const QString& field) { run([this, field] { m_voucher.enterPressed(field); }); });
    buildLayout();
    FormBuilder::nameEntriesByCaptions(this);
    m_ready = m_voucher.create();
    if (m_ready) {
        // The list shows no warehouse until 新增单据 selects the first.
        const QSignalBlocker quiet(m_ck);
        m_ck->addItems(m_voucher.warehouses());
        m_ck->setCurrentIndex(-1);
    }
    refresh();
}

GoodsVoucherWindow::~GoodsVoucherWindow() = default;

QLineEdit* GoodsVoucherWindow::addLine(const QString& name, bool readOnly)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    m_form->addEntry(name, edit);
    return edit;
}

void GoodsVoucherWindow::buildLayout()
{
    const GoodsKind& kind = m_voucher.kind();
    setMinimumSize(960, 640);

    // The tool bar.
    auto* bar = new ToolBar(this);
    const auto press = [this](std::function<void()> action) { return [this, action] { run(action); }; };
    const QList<Tool> tools{
        {GoodsVoucher::Xzdj, QStringLiteral("新增单据"), QStyle::SP_FileIcon, press([this] { m_voucher.newVoucher(); }),
         QKeySequence(Qt::CTRL | Qt::Key_N)},
        {GoodsVoucher::Bcdj, QStringLiteral("保存单据"), QStyle::SP_DialogSaveButton,
         press([this] { m_voucher.saveVoucher(); }), QKeySequence(Qt::CTRL | Qt::Key_S)},
        {GoodsVoucher::DeleteLine, QStringLiteral("删除记录"), QStyle::SP_TrashIcon,
         press([this] { m_voucher.deleteLine(); }), QKeySequence(Qt::Key_F7)},
        {GoodsVoucher::PrintVoucher, QStringLiteral("打印单据"), QStyle::SP_FileDialogDetailedView,
         press([this] { m_voucher.printVoucher(); }), QKeySequence(Qt::CTRL | Qt::Key_P)},
    };
    for (const Tool& t : tools)
        m_form->addButton(t.name, bar->add(t));
    bar->addSeparator();
    bar->add({GoodsVoucher::Close, QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, [this] { reject(); }});

    auto* title = new QLabel(kind.screenTitle, this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(QStringLiteral("font-size: 24px; font-weight: bold; color: #1f4e8c; padding: 6px;"));

    // The header: number, operator, date; warehouse, discount, supplier.
    auto* header = new QGridLayout;
    header->setHorizontalSpacing(8);
    header->setVerticalSpacing(8);
    header->addWidget(caption(QStringLiteral("单据编号"), this), 0, 0);
    header->addWidget(addLine(GoodsVoucher::Djbh, false), 0, 1);
    header->addWidget(caption(QStringLiteral("操作员"), this), 0, 2);
    header->addWidget(addLine(GoodsVoucher::Czy, true), 0, 3);
    header->addWidget(caption(QStringLiteral("日  期"), this), 0, 4);
    header->addWidget(addLine(GoodsVoucher::Rq, true), 0, 5);
    header->addWidget(caption(QStringLiteral("仓   库"), this), 1, 0);
    m_ck = new QComboBox(this);
    m_ck->setObjectName(GoodsVoucher::Ck);
    m_form->addEntry(GoodsVoucher::Ck, m_ck);
    connect(m_ck, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            m_voucher.setText(GoodsVoucher::Ck, text);
    });
    header->addWidget(m_ck, 1, 1);
    header->addWidget(caption(QStringLiteral("折  扣"), this), 1, 2);
    header->addWidget(addLine(GoodsVoucher::Zhekou, false), 1, 3);
    if (kind.hasSupplier) {
        header->addWidget(caption(QStringLiteral("供应商"), this), 1, 4);
        auto* supplier = new QHBoxLayout;
        supplier->setSpacing(2);
        QLineEdit* gys = addLine(GoodsVoucher::Gys, false);
        supplier->addWidget(gys);
        supplier->addWidget(PickButton::make(GoodsVoucher::SupplierButton, QStringLiteral("供应商选择"), gys,
                                             [this] { run([this] { m_voucher.pickSupplier(); }); }, this));
        header->addLayout(supplier, 1, 5);
    }
    for (int c : {1, 3, 5})
        header->setColumnStretch(c, 1);

    // The line being entered.
    auto* entry = new QGridLayout;
    entry->setHorizontalSpacing(8);
    entry->setVerticalSpacing(2);
    entry->addWidget(caption(QStringLiteral("商品"), this), 0, 0);
    auto* product = new QHBoxLayout;
    product->setSpacing(2);
    QLineEdit* spmc = addLine(GoodsVoucher::Spmc, false);
    spmc->setMinimumWidth(260);
    product->addWidget(spmc);
    product->addWidget(PickButton::make(GoodsVoucher::ProductButton, QStringLiteral("商品选择"), spmc,
                                        [this] { run([this] { m_voucher.pickProduct(); }); }, this));
    entry->addLayout(product, 0, 1);
    auto* hint = new QLabel(QStringLiteral("（条码\\编码\\拼音码）"), this);
    hint->setStyleSheet(QStringLiteral("color: #6b7685;"));
    entry->addWidget(hint, 1, 1);
    entry->addWidget(caption(QStringLiteral("数量"), this), 0, 2);
    QLineEdit* sl = addLine(GoodsVoucher::Sl, false);
    sl->setFixedWidth(100);
    entry->addWidget(sl, 0, 3);
    entry->addWidget(caption(QStringLiteral("进价"), this), 0, 4);
    QLineEdit* price = addLine(GoodsVoucher::Jinjia, !kind.priceEditable);
    price->setFixedWidth(110);
    entry->addWidget(price, 0, 5);
    auto* add = new QPushButton(QStringLiteral("回车保存"), this);
    add->setObjectName(GoodsVoucher::Hcbc);
    add->setAutoDefault(false);
    m_form->addEntry(GoodsVoucher::Hcbc, add);
    connect(add, &QPushButton::clicked, this, [this] { run([this] { m_voucher.addLine(); }); });
    entry->addWidget(add, 0, 6);
    entry->setColumnStretch(1, 1);

    // The lines and their totals.
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_model = new QueryTableModel(m_voucher.lines(), GoodsVoucher::gridColumns(), this);
    m_grid->setModel(m_model);
    QueryTableModel::setUpGrid(m_grid, GoodsVoucher::gridColumns());
    m_grid->setFocusPolicy(Qt::ClickFocus);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_voucher.setCurrentLine(current.row());
            });

    auto* totals = new QHBoxLayout;
    totals->addStretch();
    totals->addWidget(caption(QStringLiteral("合计数量"), this));
    QLineEdit* hjsl = addLine(GoodsVoucher::Hjsl, true);
    hjsl->setFocusPolicy(Qt::ClickFocus);
    hjsl->setAlignment(Qt::AlignRight);
    hjsl->setFixedWidth(120);
    totals->addWidget(hjsl);
    totals->addSpacing(20);
    totals->addWidget(caption(QStringLiteral("合计金额"), this));
    QLineEdit* hjje = addLine(GoodsVoucher::Hjje, true);
    hjje->setFocusPolicy(Qt::ClickFocus);
    hjje->setAlignment(Qt::AlignRight);
    hjje->setFixedWidth(160);
    hjje->setStyleSheet(QStringLiteral("font-weight: bold; color: #c0392b;"));
    totals->addWidget(hjje);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setStyleSheet(QStringLiteral("color: #c8d0da;"));

    auto* body = new QVBoxLayout;
    body->setContentsMargins(14, 4, 14, 12);
    body->setSpacing(10);
    body->addWidget(title);
    body->addLayout(header);
    body->addWidget(separator);
    body->addLayout(entry);
    body->addWidget(m_grid, 1);
    body->addLayout(totals);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addLayout(body, 1);
}

void GoodsVoucherWindow::run(const std::function<void()>& operation)
{
    if (!m_ready)
        return;
    operation();
    refresh();
}

void GoodsVoucherWindow::refresh()
{
    // The drop-down shows the warehouse the logic holds.
    const QString ck = m_voucher.text(GoodsVoucher::Ck);
    if (m_ck->currentText() != ck)
        m_ck->setCurrentIndex(m_ck->findText(ck));
    m_model->reset();
    if (m_voucher.lines().count() > 0) {
        const QModelIndex current = m_model->index(m_voucher.currentLine(), 0);
        m_grid->setCurrentIndex(current);
        m_grid->scrollTo(current);
    }
    m_form->refresh(m_voucher);
}

void GoodsVoucherWindow::reject()
{
    // Lines entered under a number that was never saved are given up only when the person agrees.
    if (m_ready && !m_voucher.mayClose()) {
        refresh();
        return;
    }
    QDialog::reject();
}

void GoodsVoucherWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entries (their order); it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
