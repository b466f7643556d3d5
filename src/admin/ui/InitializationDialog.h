#pragma once

#include "admin/Initialization.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>

class FormBuilder;

// The initialization dialog Tcsh_form, "系统初始化": the six boxes under "初始化数据", 确认 and 退出.
class InitializationDialog : public QDialog {
    Q_OBJECT
public:
    explicit InitializationDialog(QWidget* parent = nullptr);

    InitializationForm& logic() { return m_logic; }

private:
    WidgetUi m_ui;
    InitializationForm m_logic;
    FormBuilder* m_form = nullptr;
    bool m_ready = false;
};
