#include "core/ui/PickerDialog.h"

#include "core/ui/PickerDialogWindow.h"
#include "core/ui/WidgetUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------------------------
// PickerDialogWindow

PickerDialogWindow::PickerDialogWindow(const PickerSpec& spec, QWidget* parent) : QDialog(parent), m_spec(spec)
{
    setObjectName(spec.formName);
    setWindowTitle(spec.caption);
    // Stays in front of the other windows, with a close box and nothing else.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);

    m_rows = std::make_unique<PagedQuery>(m_db, spec.query,
                                          spec.filterable ? PagedQuery::productFilterFields() : QStringList());

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_choose = new QToolButton(toolbar);
    m_choose->setObjectName(QStringLiteral("ToolButton1"));
    m_choose->setText(QStringLiteral("确认选择"));
    m_choose->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    m_choose->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_close = new QToolButton(toolbar);
    m_close->setObjectName(QStringLiteral("ToolButton5"));
    m_close->setText(QStringLiteral("关闭"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_close->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->addWidget(m_choose);
    toolbar->addSeparator();
    toolbar->addWidget(m_close);

    // The filter sits beside the tool bar, never in its overflow menu.
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 8, 0);
    top->addWidget(toolbar);
    top->addStretch();
    if (spec.filterable) {
        auto* label = new QLabel(QStringLiteral("查找(&F)："), this);
        m_filter = new QLineEdit(this);
        m_filter->setObjectName(QStringLiteral("filter"));
        m_filter->setPlaceholderText(QStringLiteral("商品编号、名称、条形码或拼音码"));
        m_filter->setClearButtonEnabled(true);
        m_filter->setMinimumWidth(320);
        m_filter->installEventFilter(this);
        label->setBuddy(m_filter);
        top->addWidget(label);
        top->addWidget(m_filter);
    }

    m_model = new QueryTableModel(*m_rows, spec.columns, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    QueryTableModel::setUpGrid(m_grid, spec.columns);
    m_grid->installEventFilter(this);
    sizeColumns();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    resize(900, 560);

    m_filterTimer.setSingleShot(true);
    m_filterTimer.setInterval(kFilterDelayMs);
    connect(&m_filterTimer, &QTimer::timeout, this, &PickerDialogWindow::applyFilterNow);
    if (m_filter)
        connect(m_filter, &QLineEdit::textChanged, this, [this] { m_filterTimer.start(); });

    // Shown after the paint that met it, never from inside it.
    connect(
        m_model, &QueryTableModel::readFailed, this,
        [this](const QString& error) {
            WidgetUi ui(this);
            ui.showError(error);
        },
        Qt::QueuedConnection);

    connect(m_choose, &QToolButton::clicked, this, &PickerDialogWindow::choose);
    connect(m_close, &QToolButton::clicked, this, &PickerDialogWindow::closePicker);
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            m_grid->setCurrentIndex(index);
        choose();
    });
}

void PickerDialogWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The person types into the filter straight away; without one the grid has the keys.
    if (m_filter)
        m_filter->setFocus();
    else
        m_grid->setFocus();
}

PickerDialogWindow::~PickerDialogWindow()
{
    m_db.close();
}

bool PickerDialogWindow::load()
{
    WidgetUi ui(this);
    if (!m_db.open()) {
        ui.showError(m_db.lastError());
        return false;
    }
    if (!m_model->refilter(QString())) {
        ui.showError(m_rows->lastError());
        return false;
    }
    selectFirstRow();
    return true;
}

void PickerDialogWindow::sizeColumns()
{
    const QFontMetrics fm = m_grid->fontMetrics();
    for (int c = 0; c < m_spec.columns.size(); ++c) {
        const GridColumn& col = m_spec.columns.at(c);
        int chars = 10;
        if (col.field == QLatin1String("spmc") || col.field == QLatin1String("gysmc") ||
            col.field == QLatin1String("changjia"))
            chars = 22;
        else if (col.field == QLatin1String("djbh") || col.field == QLatin1String("tiaoma"))
            chars = 16;
        const int width =
            std::max(fm.horizontalAdvance(QLatin1Char('0')) * chars, fm.horizontalAdvance(col.caption) + 24);
        m_grid->setColumnWidth(c, width);
    }
}

int PickerDialogWindow::rowCount() const
{
    return m_model->rowCount();
}

void PickerDialogWindow::applyFilterNow()
{
    m_filterTimer.stop();
    if (!m_filter || !m_db.isOpen())
        return;
    if (m_filter->text().trimmed() == m_rows->filter() && m_model->rowCount() > 0)
        return;
    if (!m_model->refilter(m_filter->text())) {
        WidgetUi ui(this);
        ui.showError(m_rows->lastError());
    }
    selectFirstRow();
}

void PickerDialogWindow::selectFirstRow()
{
    if (m_model->rowCount() > 0) {
        m_grid->setCurrentIndex(m_model->index(0, 0));
        m_grid->scrollToTop();
    }
}

bool PickerDialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose();
        return true;
    case Qt::Key_Escape:
        closePicker();
        return true;
    default:
        break;
    }
    if (watched == m_filter) {
        // The grid's moving keys work from the filter field, which keeps the focus.
        const bool move =
            key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageUp ||
            key->key() == Qt::Key_PageDown ||
            ((key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && (key->modifiers() & Qt::ControlModifier));
        if (move) {
            applyFilterNow();
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
            QApplication::sendEvent(m_grid, &copy);
            return true;
        }
    } else if (watched == m_grid && m_filter) {
        // Typing on the grid goes on in the filter.
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_filter->setFocus();
            m_filter->insert(text);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PickerDialogWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc is "关闭", which answers "~"; only the close box leaves the answers alone.
    if (event->key() == Qt::Key_Escape) {
        closePicker();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on a tool button presses that button; anywhere else it takes the current row.
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget()))
            button->click();
        else
            choose();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PickerDialogWindow::choose()
{
    if (m_filterTimer.isActive())
        applyFilterNow();
    const QModelIndex current = m_grid->currentIndex();
    // No row (an empty table or a filter that matches nothing): empty texts, not "~".
    m_chosen = m_rows->texts(current.isValid() ? current.row() : -1, m_spec.answerFields);
    m_outcome = Outcome::Chosen;
    accept();
}

void PickerDialogWindow::closePicker()
{
    m_chosen = QStringList();
    for (qsizetype i = 0; i < m_spec.answerFields.size(); ++i)
        m_chosen << QStringLiteral("~");
    m_outcome = Outcome::Closed;
    accept();
}

void PickerDialogWindow::done(int result)
{
    m_filterTimer.stop();
    m_db.close();
    QDialog::done(result);
}

void PickerDialogWindow::writeAnswers(QStringList& answers) const
{
    if (m_outcome != Outcome::None)
        answers = m_chosen;
}

// ---------------------------------------------------------------------------------------------

namespace PickerDialog {

void run(const PickerSpec& spec, QStringList& answers, QWidget* parent)
{
    PickerDialogWindow dialog(spec, parent);
    dialog.load();
    // Maximised on the desktop of the window that asks.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.setGeometry(screen->availableGeometry());
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
    dialog.writeAnswers(answers);
}

} // namespace PickerDialog
