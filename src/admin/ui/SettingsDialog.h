#pragma once

#include "admin/SystemSettings.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>

class FormBuilder;

// The settings dialog Txtsz_form, "系统参数设置": the pages "公司信息" and "版本功能", each with its
// own 存盘, and 关闭 below them.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    SettingsForm& logic() { return m_logic; }
    bool isReady() const { return m_ready; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void run(const std::function<void()>& action);

    WidgetUi m_ui;
    SettingsForm m_logic;
    FormBuilder* m_form = nullptr;
    bool m_ready = false;
};
