#include "core/ui/QueryScreenWindow.h"

#include "core/ui/ChartPanel.h"
#include "core/ui/QueryTableModel.h"
#include "core/ui/ToolBar.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The banner picture above the tool bar: the screen's title on a band of the shop's green.
class BannerPicture : public QWidget {
public:
    BannerPicture(const QString& title, QWidget* parent) : QWidget(parent), m_title(title)
    {
        setObjectName(QStringLiteral("banner"));
        setAccessibleName(title);
        setFixedHeight(56);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient band(0, 0, width(), 0);
        band.setColorAt(0, QColor(0x1e, 0x6b, 0x45));
        band.setColorAt(0.6, QColor(0x2e, 0x8b, 0x57));
        band.setColorAt(1, QColor(0xa8, 0xd5, 0xb5));
        p.fillRect(rect(), band);
        // A few rising bars at the left: the picture of a figure that grows.
        const int base = height() - 12;
        const int heights[] = {14, 22, 30};
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRect(18 + i * 10, base - heights[i], 7, heights[i]), QColor(255, 255, 255, 200));
        QFont f = font();
        f.setPointSize(18);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(rect().adjusted(64, 0, -16, 0), Qt::AlignVCenter | Qt::AlignLeft, m_title);
    }

private:
    QString m_title;
};

QDateEdit* makeDateEdit(const QString& name, const QString& label, QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(label);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setMinimumWidth(120);
    return edit;
}

} // namespace

QueryScreenWindow::QueryScreenWindow(const LogicFactory& makeLogic, QWidget* parent, Ui* ui)
    : QWidget(parent), m_ownUi(this), m_ui(ui ? ui : &m_ownUi)
{
    m_logic = makeLogic(*m_ui);
    const QueryScreenSpec& spec = m_logic->spec();
    setObjectName(spec.formName);
    setWindowTitle(spec.caption);
    // A child of the main window without a system menu: it is left through 关闭.
    setWindowFlags(windowFlags() & ~Qt::WindowSystemMenuHint);

    m_bar = new ToolBar(this);
    if (spec.hasDates) {
        m_rq1 = makeDateEdit(QueryScreen::Rq1, QStringLiteral("从"), m_bar);
        m_rq2 = makeDateEdit(QueryScreen::Rq2, QStringLiteral("至"), m_bar);
        auto* from = new QLabel(QStringLiteral(" 从 "), m_bar);
        auto* to = new QLabel(QStringLiteral(" 至 "), m_bar);
        from->setBuddy(m_rq1);
        to->setBuddy(m_rq2);
        m_bar->addWidget(from);
        m_bar->addWidget(m_rq1);
        m_bar->addWidget(to);
        m_bar->addWidget(m_rq2);
        for (QDateEdit* edit : {m_rq1, m_rq2}) {
            edit->installEventFilter(this);
            connect(edit, &QDateEdit::dateChanged, this, [this, edit](const QDate& date) {
                m_logic->setText(edit->objectName(), date.toString(QStringLiteral("yyyy-MM-dd")));
            });
        }
    }
    m_ownControls = m_bar->addSeparator();
    m_bar->add({QStringLiteral("ToolButton3"), QStringLiteral("查询"), QStyle::SP_FileDialogContentsView,
                [this] { runQuery(); }, QKeySequence(Qt::Key_F5)});
    m_bar->add({QStringLiteral("ToolButton10"), QStringLiteral("导出"), QStyle::SP_ArrowRight, [this] { exportGrid(); },
                QKeySequence(Qt::CTRL | Qt::Key_E)});
    m_bar->add({QStringLiteral("ToolButton1"), QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView,
                [this] { print(); }, QKeySequence(Qt::CTRL | Qt::Key_P)});
    if (spec.hasChart)
        m_bar->add({QStringLiteral("savechart"), QStringLiteral("保存图表"), QStyle::SP_DialogSaveButton,
                    [this] { saveChart(); }});
    m_bar->addSeparator();
    m_bar->add({QStringLiteral("ToolButton5"), QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, [this] { close(); },
                QKeySequence(Qt::Key_Escape)});

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setAccessibleName(spec.caption);
    QueryTableModel::setUpGrid(m_grid, spec.columns);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new BannerPicture(spec.banner, this));
    layout->addWidget(m_bar);
    if (spec.hasChart) {
        auto* splitter = new QSplitter(Qt::Horizontal, this);
        splitter->setObjectName(QStringLiteral("splitter"));
        m_chart = new ChartPanel(splitter);
        splitter->addWidget(m_grid);
        splitter->addWidget(m_chart);
        splitter->setStretchFactor(0, 3);
        splitter->setStretchFactor(1, 2);
        // The chart wide enough for the names under its bars.
        splitter->setSizes({600, 440});
        layout->addWidget(splitter, 1);
    } else {
        layout->addWidget(m_grid, 1);
    }

    m_ready = m_logic->create();
    for (QToolButton* b : m_bar->buttons())
        b->setEnabled(m_ready || b->objectName() == QLatin1String("ToolButton5"));
    showState();
    // Opened from the menu, the screen takes the keys at once (F5 查询, Esc 关闭).
    setFocusProxy(m_rq1 ? static_cast<QWidget*>(m_rq1) : m_grid);
}

QToolButton* QueryScreenWindow::button(const QString& name) const
{
    return m_bar->button(name);
}

QueryScreenWindow::~QueryScreenWindow()
{
    // The grid's model reads the logic's rows: it goes first.
    m_grid->setModel(nullptr);
    delete m_model;
}

QDateEdit* QueryScreenWindow::dateEdit(const QString& name) const
{
    return name == QueryScreen::Rq1 ? m_rq1 : name == QueryScreen::Rq2 ? m_rq2 : nullptr;
}

void QueryScreenWindow::addToolWidget(QWidget* widget)
{
    widget->setParent(m_bar);
    m_bar->insertWidget(m_ownControls, widget);
}

void QueryScreenWindow::showState()
{
    for (QDateEdit* edit : {m_rq1, m_rq2}) {
        if (!edit)
            continue;
        const QDate date = QDate::fromString(m_logic->text(edit->objectName()), QStringLiteral("yyyy-MM-dd"));
        if (date.isValid() && date != edit->date()) {
            const QSignalBlocker quiet(edit);
            edit->setDate(date);
        }
    }
    showResult();
    if (QDateEdit* edit = dateEdit(m_logic->focusField()))
        edit->setFocus();
}

void QueryScreenWindow::showResult()
{
    if (m_logic->generation() == m_shownGeneration)
        return;
    m_shownGeneration = m_logic->generation();
    QueryTableModel* old = m_model;
    const std::shared_ptr<PagedQuery> oldRows = m_shownRows;
    m_model = nullptr;
    m_shownRows = m_logic->sharedRows();
    if (m_shownRows) {
        m_model = new QueryTableModel(*m_shownRows, m_logic->spec().columns, this);
        connect(
            m_model, &QueryTableModel::readFailed, this, [this](const QString& error) { m_ui->showError(error); },
            Qt::QueuedConnection);
    }
    m_grid->setModel(m_model);
    delete old;
    if (m_model)
        QueryTableModel::setUpGrid(m_grid, m_logic->spec().columns);
    if (m_chart)
        m_chart->setData(m_logic->chart());
}

void QueryScreenWindow::runQuery()
{
    if (!m_ready)
        return;
    m_logic->query();
    showState();
}

void QueryScreenWindow::exportGrid()
{
    if (m_ready)
        m_logic->exportGrid();
}

void QueryScreenWindow::print()
{
    if (!m_ready)
        return;
    const GridColumns shown =
        m_model ? QueryTableModel::columnsAsShown(m_grid, m_logic->spec().columns) : m_logic->spec().columns;
    QueryScreen::ChartPainter chart;
    if (m_chart)
        chart = [this](QPainter& painter, const QRectF& area) { m_chart->paint(painter, area); };
    m_logic->print(shown, chart);
}

void QueryScreenWindow::saveChart()
{
    if (!m_ready || !m_chart)
        return;
    if (!m_logic->isQueried()) {
        m_ui->showMessage(m_logic->spec().notQueried);
        return;
    }
    const QString file =
        m_ui->saveFileName(QStringLiteral("保存图表"), QStringLiteral("PNG files (*.png)"), QStringLiteral("png"));
    if (file.isEmpty())
        return;
    QString error;
    if (m_chart->savePng(file, &error))
        m_ui->showMessage(QStringLiteral("保存成功"));
    else
        m_ui->showError(error);
}

bool QueryScreenWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_rq1 || watched == m_rq2)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (m_ready) {
                m_logic->enterPressed(watched->objectName());
                showState();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
