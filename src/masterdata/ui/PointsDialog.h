#pragma once

#include "core/ui/WidgetUi.h"
#include "masterdata/Points.h"

#include <QDialog>

#include <functional>
#include <memory>

class FormBuilder;
class QLabel;

// The points base and the points exchange: modal, centred on the main window, a heading, the
// entry `jfjs` between its labels, 确认 and 关闭. Enter in the entry presses 确认.
class PointsDialog : public QDialog {
    Q_OBJECT
public:
    using LogicFactory = std::function<std::unique_ptr<PointsForm>(Ui& ui)>;

    explicit PointsDialog(const LogicFactory& makeLogic, QWidget* parent = nullptr);
    ~PointsDialog() override;

    PointsForm& logic() { return *m_logic; }
    bool isReady() const { return m_ready; }

    // Opens a dialog modally, centred on the window that asks; nothing when it cannot work (the
    // reason was shown).
    static void exec(const LogicFactory& makeLogic, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void run(const std::function<void()>& action);

    WidgetUi m_ui;
    std::unique_ptr<PointsForm> m_logic;
    FormBuilder* m_form = nullptr;
    QLabel* m_heading = nullptr;
    bool m_ready = false;
};
