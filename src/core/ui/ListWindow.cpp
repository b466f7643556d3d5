#include "core/ui/ListWindow.h"

#include "core/ui/FormBuilder.h"
#include "core/ui/QueryTableModel.h"
#include "core/ui/ToolBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QStyle::StandardPixmap iconOf(const QString& name)
{
    static const QHash<QString, QStyle::StandardPixmap> icons{
        {QStringLiteral("add"), QStyle::SP_FileIcon},
        {QStringLiteral("delete"), QStyle::SP_TrashIcon},
        {QStringLiteral("edit"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("print"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("refresh"), QStyle::SP_BrowserReload},
        {QStringLiteral("first"), QStyle::SP_MediaSkipBackward},
        {QStringLiteral("prior"), QStyle::SP_MediaSeekBackward},
        {QStringLiteral("next"), QStyle::SP_MediaSeekForward},
        {QStringLiteral("last"), QStyle::SP_MediaSkipForward},
        {QStringLiteral("close"), QStyle::SP_DialogCloseButton},
    };
    return icons.value(name, QStyle::SP_FileDialogContentsView);
}

// The keys of the standard buttons. 修改 is Enter and 删除 the Delete key on the grid; 上条 and
// 下条 are the grid's own arrows.
QKeySequence standardKey(const QString& name)
{
    static const QHash<QString, QKeySequence> keys{
        {QStringLiteral("add"), QKeySequence(Qt::Key_Insert)},
        {QStringLiteral("print"), QKeySequence(Qt::CTRL | Qt::Key_P)},
        {QStringLiteral("refresh"), QKeySequence(Qt::Key_F5)},
        {QStringLiteral("first"), QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {QStringLiteral("last"), QKeySequence(Qt::CTRL | Qt::Key_End)},
        {QStringLiteral("close"), QKeySequence(Qt::Key_Escape)},
    };
    return keys.value(name);
}

constexpr int kFilterDelayMs = 150;

} // namespace

QList<ListButton> ListWindow::standardButtons(bool print)
{
    QList<ListButton> buttons{
        {QStringLiteral("add"), QStringLiteral("新增"), QString(), {}},
        {QStringLiteral("delete"), QStringLiteral("删除"), QString(), {}},
        {QStringLiteral("edit"), QStringLiteral("修改"), QString(), {}},
    };
    if (print)
        buttons << ListButton{QStringLiteral("print"), QStringLiteral("打印"), QString(), {}};
    buttons << ListButton{QStringLiteral("refresh"), QStringLiteral("刷新"), QString(), {}}
            << ListButton{QStringLiteral("first"), QStringLiteral("首条"), QString(), {}}
            << ListButton{QStringLiteral("prior"), QStringLiteral("上条"), QString(), {}}
            << ListButton{QStringLiteral("next"), QStringLiteral("下条"), QString(), {}}
            << ListButton{QStringLiteral("last"), QStringLiteral("末条"), QString(), {}}
            << ListButton{QStringLiteral("close"), QStringLiteral("关闭"), QString(), {}};
    return buttons;
}

ListWindow::ListWindow(const LogicFactory& makeLogic, const QList<ListButton>& buttons, QWidget* parent)
    : QWidget(parent), m_ui(this)
{
    m_logic = makeLogic(m_ui);
    const ListKind& kind = m_logic->kind();
    setObjectName(kind.formName);
    setWindowTitle(kind.caption);
    // A child of the main window without a system menu: it is left through 关闭.
    setWindowFlags(windowFlags() & ~Qt::WindowSystemMenuHint);

    auto* bar = new ToolBar(this);
    for (const ListButton& b : buttons) {
        if (b.name == QLatin1String("first") || b.name == QLatin1String("close"))
            bar->addSeparator();
        std::function<void()> action = b.action;
        if (!action) {
            if (b.name == QLatin1String("add"))
                action = [this] {
                    if (m_add)
                        m_add();
                };
            else if (b.name == QLatin1String("delete"))
                action = [this] {
                    run([this] {
                        if (m_logic->removeCurrent())
                            showRows();
                    });
                };
            else if (b.name == QLatin1String("edit"))
                action = [this] { edit(); };
            else if (b.name == QLatin1String("print"))
                action = [this] { m_logic->print(); };
            else if (b.name == QLatin1String("refresh"))
                action = [this] {
                    m_logic->reload();
                    showRows();
                };
            else if (b.name == QLatin1String("first"))
                action = [this] { run([this] { m_logic->first(); }); };
            else if (b.name == QLatin1String("prior"))
                action = [this] { run([this] { m_logic->prior(); }); };
            else if (b.name == QLatin1String("next"))
                action = [this] { run([this] { m_logic->next(); }); };
            else if (b.name == QLatin1String("last"))
                action = [this] { run([this] { m_logic->last(); }); };
            else if (b.name == QLatin1String("close"))
                action = [this] { close(); };
        }
        const QKeySequence key = b.key.isEmpty() ? standardKey(b.name) : b.key;
        QToolButton* tool = bar->add(Tool{b.name, b.text, iconOf(b.name), [action] {
                                              if (action)
                                                  action();
                                          },
                                          key, b.hint, b.icon});
        m_buttons.insert(b.name, tool);
        if (b.needsRow || b.name == QLatin1String("delete") || b.name == QLatin1String("edit"))
            m_rowButtons << b.name;
    }

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 8, 0);
    top->addWidget(bar);
    top->addStretch();
    if (!kind.filterFields.isEmpty()) {
        auto* label = new QLabel(QStringLiteral("筛选(&F)："), this);
        m_filter = new QLineEdit(this);
        m_filter->setObjectName(QStringLiteral("filter"));
        m_filter->setAccessibleName(QStringLiteral("筛选"));
        m_filter->setPlaceholderText(kind.filterHint);
        m_filter->setClearButtonEnabled(true);
        m_filter->setMinimumWidth(300);
        m_filter->installEventFilter(this);
        label->setBuddy(m_filter);
        top->addWidget(label);
        top->addWidget(m_filter);
        m_filterTimer = new QTimer(this);
        m_filterTimer->setSingleShot(true);
        m_filterTimer->setInterval(kFilterDelayMs);
        connect(m_filterTimer, &QTimer::timeout, this, &ListWindow::applyFilter);
        connect(m_filter, &QLineEdit::textChanged, m_filterTimer, qOverload<>(&QTimer::start));
    }

    m_ready = m_logic->create();
    m_model = new QueryTableModel(m_logic->rows(), kind.columns, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setAccessibleName(kind.caption);
    m_grid->setModel(m_model);
    QueryTableModel::setUpGrid(m_grid, kind.columns);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            m_logic->setCurrent(index.row());
        edit();
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_logic->setCurrent(current.row());
            });
    connect(
        m_model, &QueryTableModel::readFailed, this, [this](const QString& error) { m_ui.showError(error); },
        Qt::QueuedConnection);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    showRows();
    // Opened from the menu, the list takes the keys at once: typing filters, the keys act.
    setFocusProxy(m_filter ? static_cast<QWidget*>(m_filter) : m_grid);
}

ListWindow::~ListWindow() = default;

void ListWindow::showRows()
{
    m_model->reset();
    updateButtons();
    showCurrent();
}

void ListWindow::showCurrent()
{
    if (m_logic->hasRows()) {
        const QModelIndex index = m_model->index(m_logic->current(), 0);
        m_grid->setCurrentIndex(index);
        m_grid->scrollTo(index);
    }
}

void ListWindow::updateButtons()
{
    // An empty list has nothing to delete or change until a 刷新 finds rows.
    for (const QString& name : std::as_const(m_rowButtons))
        if (QToolButton* b = m_buttons.value(name))
            b->setEnabled(m_ready && m_logic->hasRows());
}

void ListWindow::run(const std::function<void()>& action)
{
    if (!m_ready)
        return;
    action();
    showCurrent();
}

void ListWindow::edit()
{
    if (!m_ready || !m_logic->hasRows() || !m_edit)
        return;
    m_edit(m_logic->currentKey());
}

void ListWindow::applyFilter()
{
    if (m_filterTimer)
        m_filterTimer->stop();
    if (!m_filter || !m_ready)
        return;
    if (m_filter->text().trimmed() == m_logic->rows().filter())
        return;
    m_logic->setFilter(m_filter->text());
    showRows();
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Esc in a filter that holds text empties the filter; only the next Esc closes the list.
    if (watched == m_filter && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !m_filter->text().isEmpty()) {
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            m_filter->clear();
            applyFilter();
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_filter) {
            // The grid's moving keys work from the filter field; Enter opens the current row.
            const bool move = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                              key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown;
            if (move) {
                applyFilter();
                QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
                QCoreApplication::sendEvent(m_grid, &copy);
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                applyFilter();
                edit();
                return true;
            }
        } else if (watched == m_grid) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                edit();
                return true;
            }
            if (key->key() == Qt::Key_Delete) {
                if (QToolButton* b = m_buttons.value(QStringLiteral("delete")); b && b->isEnabled())
                    b->click();
                return true;
            }
            if (m_filter) {
                // Typing on the grid goes on in the filter.
                const QString text = key->text();
                if (!text.isEmpty() && text.at(0).isPrint() &&
                    !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                    m_filter->setFocus();
                    m_filter->insert(text);
                    return true;
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
