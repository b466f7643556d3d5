#include "accounts/ui/SettlementWindow.h"

#include "core/ui/FormBuilder.h"
#include "core/ui/QueryTableModel.h"
#include "core/ui/ToolBar.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kDateForm = QStringLiteral("yyyy-MM-dd");

} // namespace

SettlementWindow::SettlementWindow(const SettlementKind& kind, QWidget* parent)
    : QDialog(parent), m_ui(this), m_logic(kind, m_ui)
{
    setObjectName(kind.screenForm);
    setWindowTitle(kind.screenCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_form = new FormBuilder(this);
    m_form->setState(&m_logic);
    m_form->setEdited([this](const QString& field, const QString& text) { m_logic.setText(field, text); });
    m_form->setEnter([this](const QString& field) { run([this, field] { m_logic.enterPressed(field); }); });
    buildLayout();
    FormBuilder::nameEntriesByCaptions(this);
    m_ready = m_logic.create();
    refresh();
}

SettlementWindow::~SettlementWindow() = default;

void SettlementWindow::buildLayout()
{
    const SettlementKind& kind = m_logic.kind();
    setMinimumSize(1000, 620);

    // The tool bar: close, moving in the list, settling, and the amount.
    auto* bar = new ToolBar(this);
    const auto press = [this](std::function<void()> action) { return [this, action] { run(action); }; };
    bar->add({Settlement::Close, QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, [this] { reject(); }});
    bar->addSeparator();
    const QList<Tool> tools{
        {Settlement::First, QStringLiteral("首条"), QStyle::SP_MediaSkipBackward, press([this] { m_logic.first(); }),
         QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {Settlement::Prior, QStringLiteral("上条"), QStyle::SP_MediaSeekBackward, press([this] { m_logic.prior(); }),
         QKeySequence(Qt::Key_PageUp)},
        {Settlement::Next, QStringLiteral("下条"), QStyle::SP_MediaSeekForward, press([this] { m_logic.next(); }),
         QKeySequence(Qt::Key_PageDown)},
        {Settlement::Last, QStringLiteral("末条"), QStyle::SP_MediaSkipForward, press([this] { m_logic.last(); }),
         QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {Settlement::Settle, QStringLiteral("结算"), QStyle::SP_DialogApplyButton, press([this] { m_logic.settle(); }),
         QKeySequence(Qt::CTRL | Qt::Key_S)},
    };
    for (const Tool& t : tools)
        m_form->addButton(t.name, bar->add(t));
    bar->addSeparator();
    auto* amountBox = new QWidget(bar);
    auto* amountLayout = new QHBoxLayout(amountBox);
    amountLayout->setContentsMargins(8, 0, 8, 0);
    amountLayout->addWidget(new QLabel(kind.amountLabel, amountBox));
    auto* fkje = new QLineEdit(amountBox);
    fkje->setObjectName(Settlement::Fkje);
    fkje->setFixedWidth(140);
    fkje->setAlignment(Qt::AlignRight);
    m_form->addEntry(Settlement::Fkje, fkje);
    amountLayout->addWidget(fkje);
    bar->addWidget(amountBox);

    // The filters.
    auto* filters = new QHBoxLayout;
    filters->setSpacing(6);
    auto dateEdit = [this](const QString& name) {
        auto* edit = new QDateEdit(this);
        edit->setObjectName(name);
        edit->setDisplayFormat(kDateForm);
        edit->setCalendarPopup(true);
        connect(edit, &QDateEdit::dateChanged, this, [this, name](const QDate& date) {
            if (!m_refreshing)
                m_logic.setText(name, date.toString(kDateForm));
        });
        m_form->addEntry(name, edit);
        return edit;
    };
    filters->addWidget(new QLabel(QStringLiteral("从"), this));
    m_rq1 = dateEdit(Settlement::Rq1);
    filters->addWidget(m_rq1);
    filters->addWidget(new QLabel(QStringLiteral("至"), this));
    m_rq2 = dateEdit(Settlement::Rq2);
    filters->addWidget(m_rq2);
    filters->addSpacing(10);
    filters->addWidget(new QLabel(QStringLiteral("供应商"), this));
    auto* gys = new QLineEdit(this);
    gys->setObjectName(Settlement::Gys);
    gys->setMinimumWidth(180);
    m_form->addEntry(Settlement::Gys, gys);
    filters->addWidget(gys, 1);
    filters->addWidget(PickButton::make(Settlement::SupplierButton, QStringLiteral("供应商选择"), gys,
                                        [this] { run([this] { m_logic.pickSupplier(); }); }, this));
    filters->addSpacing(10);
    filters->addWidget(new QLabel(kind.numberLabel, this));
    auto* rkd = new QLineEdit(this);
    rkd->setObjectName(Settlement::Rkd);
    rkd->setMinimumWidth(150);
    m_form->addEntry(Settlement::Rkd, rkd);
    filters->addWidget(rkd, 1);
    filters->addSpacing(10);
    filters->addWidget(new QLabel(QStringLiteral("类型"), this));
    m_lx = new QComboBox(this);
    m_lx->setObjectName(Settlement::Lx);
    m_lx->setEditable(true);
    m_lx->setInsertPolicy(QComboBox::NoInsert);
    m_lx->addItems(kind.statusItems());
    m_lx->setCurrentIndex(-1);
    m_lx->setMinimumWidth(80);
    connect(m_lx, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!m_refreshing)
            m_logic.setText(Settlement::Lx, text);
    });
    m_lx->lineEdit()->setProperty("posField", Settlement::Lx);
    m_form->addEntry(Settlement::Lx, m_lx);
    m_lx->lineEdit()->installEventFilter(m_form);
    filters->addWidget(m_lx);
    auto* search = new QPushButton(QStringLiteral("查询"), this);
    search->setObjectName(kind.searchButton);
    search->setAutoDefault(false);
    connect(search, &QPushButton::clicked, this, [this] { run([this] { m_logic.search(); }); });
    filters->addWidget(search);

    // The vouchers and the selected voucher's lines, on two tabs.
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    m_list = new QTableView(tabs);
    m_list->setObjectName(QStringLiteral("DBGrid1"));
    m_lines = new QTableView(tabs);
    m_lines->setObjectName(QStringLiteral("DBGrid2"));
    tabs->addTab(m_list, kind.listTab);
    tabs->addTab(m_lines, kind.linesTab);
    m_linesModel = new QueryTableModel(m_logic.voucherLines(), Settlement::lineColumns(), this);
    m_lines->setModel(m_linesModel);
    QueryTableModel::setUpGrid(m_lines, Settlement::lineColumns());
    showList();

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 12);
    body->setSpacing(8);
    body->addLayout(filters);
    body->addWidget(tabs, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addLayout(body, 1);
}

void SettlementWindow::showList()
{
    PagedQuery* rows = &m_logic.vouchers();
    if (rows == m_shownList && m_listModel) {
        m_listModel->reset();
        return;
    }
    auto* model = new QueryTableModel(*rows, Settlement::listColumns(), this);
    QItemSelectionModel* oldSelection = m_list->selectionModel();
    m_list->setModel(model);
    delete oldSelection;
    if (m_listModel)
        m_listModel->deleteLater();
    else
        QueryTableModel::setUpGrid(m_list, Settlement::listColumns());
    m_listModel = model;
    m_shownList = rows;
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_refreshing && current.isValid())
                    run([this, row = current.row()] { m_logic.setCurrentRow(row); });
            });
}

void SettlementWindow::run(const std::function<void()>& operation)
{
    if (!m_ready)
        return;
    operation();
    refresh();
}

void SettlementWindow::refresh()
{
    m_refreshing = true;
    for (QDateEdit* edit : {m_rq1, m_rq2}) {
        const QDate date = QDate::fromString(m_logic.text(edit->objectName()), kDateForm);
        if (date.isValid() && edit->date() != date)
            edit->setDate(date);
    }
    if (m_lx->currentText() != m_logic.text(Settlement::Lx))
        m_lx->setCurrentText(m_logic.text(Settlement::Lx));
    showList();
    m_linesModel->reset();
    if (m_logic.currentRow() >= 0) {
        const QModelIndex current = m_listModel->index(m_logic.currentRow(), 0);
        m_list->setCurrentIndex(current);
        m_list->scrollTo(current);
    }
    m_refreshing = false;
    m_form->refresh(m_logic);
}

void SettlementWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entries; it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
