#pragma once

#include "core/Ui.h"

#include <QWidget>

// The picker family (Tsphelp2_form … Tsphelp16_form): one dialog described by a PickerSpec.
namespace PickerDialog {

// Shows the picker modally. "确认选择" or a double click writes the chosen row's answer fields,
// "关闭" writes "~" into each, the close box writes nothing.
void run(const PickerSpec& spec, QStringList& answers, QWidget* parent);

} // namespace PickerDialog
