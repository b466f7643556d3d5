#include "masterdata/ui/LabelScreen.h"

#include "core/ui/FormBuilder.h"
#include "core/ui/ListWindow.h"
#include "masterdata/LabelQueue.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

LabelScreen::LabelScreen(QWidget* parent) : QDialog(parent)
{
    setObjectName(LabelQueue::listKind().formName);
    setWindowTitle(LabelQueue::listKind().caption);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    const QList<ListButton> buttons{
        {QStringLiteral("productLabels"), QStringLiteral("商品标签"), QStringLiteral("打印商品标签"),
         [this] { run([this] { queue().printProductLabels(); }); }},
        {QStringLiteral("shelfLabels"), QStringLiteral("货架标签"), QStringLiteral("打印货架标签"),
         [this] { run([this] { queue().printShelfLabels(); }); }},
        {QStringLiteral("clear"), QStringLiteral("清空数据"), QStringLiteral("清空全部标签"),
         [this] { run([this] { queue().clearAll(); }); }},
        {QStringLiteral("delete"), QStringLiteral("删除数据"), QStringLiteral("删除所选择的一张标签"),
         [this] { run([this] { queue().removeCurrent(); }); }},
        {QStringLiteral("addNumber"), QStringLiteral("加入编号"), QStringLiteral("按商品编号加入标签"),
         [this] { run([this] { queue().addByNumber(); }); }},
        {QStringLiteral("findNumber"), QStringLiteral("查找编号"), QStringLiteral("加入编号以此开头的全部商品"),
         [this] { run([this] { queue().addByPrefix(); }); }},
        {QStringLiteral("close"), QStringLiteral("关闭"), QString(), [this] { reject(); }},
    };
    m_list = new ListWindow([](Ui& ui) { return std::make_unique<LabelQueue>(ui); }, buttons, this);
    const QHash<QString, QStyle::StandardPixmap> icons{
        {QStringLiteral("productLabels"), QStyle::SP_FileDialogListView},
        {QStringLiteral("shelfLabels"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("clear"), QStyle::SP_DialogResetButton},
        {QStringLiteral("delete"), QStyle::SP_TrashIcon},
        {QStringLiteral("addNumber"), QStyle::SP_FileIcon},
        {QStringLiteral("findNumber"), QStyle::SP_FileDialogContentsView},
    };
    for (auto it = icons.cbegin(); it != icons.cend(); ++it)
        if (QToolButton* b = m_list->button(it.key()))
            b->setIcon(style()->standardIcon(it.value()));

    // The two entries stand in the tool bar before 关闭.
    auto* number = new QLineEdit(this);
    number->setObjectName(LabelQueue::Number);
    number->setAccessibleName(QStringLiteral("商品编号"));
    number->setFixedWidth(130);
    auto* quantity = new QLineEdit(this);
    quantity->setObjectName(LabelQueue::Quantity);
    quantity->setAccessibleName(QStringLiteral("数量"));
    quantity->setFixedWidth(60);
    auto* numberLabel = new QLabel(QStringLiteral(" 商品编号 "), this);
    numberLabel->setBuddy(number);
    auto* quantityLabel = new QLabel(QStringLiteral(" 数量 "), this);
    quantityLabel->setBuddy(quantity);
    if (auto* bar = m_list->findChild<QToolBar*>(QStringLiteral("ToolBar1"))) {
        QAction* before = nullptr;
        const QList<QAction*> actions = bar->actions();
        for (int i = 0; i < actions.size(); ++i) {
            if (bar->widgetForAction(actions.at(i)) == m_list->button(QStringLiteral("close"))) {
                before = i > 0 && actions.at(i - 1)->isSeparator() ? actions.at(i - 1) : actions.at(i);
                break;
            }
        }
        bar->insertSeparator(before);
        for (QWidget* w : QList<QWidget*>{numberLabel, number, quantityLabel, quantity,
                                          new QLabel(QStringLiteral(" 条 "), this)})
            bar->insertWidget(before, w);
    }

    m_form = new FormBuilder(this);
    m_form->setState(&queue());
    m_form->addEntry(LabelQueue::Number, number);
    m_form->addEntry(LabelQueue::Quantity, quantity);
    m_form->setEdited([this](const QString& field, const QString& text) { queue().setText(field, text); });
    m_form->setEnter([this](const QString& field) { run([this, field] { queue().enterPressed(field); }); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_form->refresh(queue());
}

LabelScreen::~LabelScreen() = default;

LabelQueue& LabelScreen::queue()
{
    return static_cast<LabelQueue&>(m_list->logic());
}

void LabelScreen::run(const std::function<void()>& action)
{
    m_list->run([this, &action] {
        action();
        m_list->showRows();
    });
    m_form->refresh(queue());
}

void LabelScreen::keyPressEvent(QKeyEvent* event)
{
    // Enter belongs to the entries; it never presses a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LabelScreen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The number has the focus once the screen is up.
    m_form->refresh(queue());
}

void LabelScreen::exec(QWidget* parent)
{
    LabelScreen screen(parent ? parent->window() : nullptr);
    screen.resize(1020, 600);
    QScreen* desktop = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (desktop)
        screen.move(desktop->availableGeometry().center() - screen.rect().center());
    screen.QDialog::exec();
}
