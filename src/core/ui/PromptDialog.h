#pragma once

#include "core/Ui.h"

#include <QWidget>

// The prompt family (Txtts1_form … Txtts4_form): one dialog described by a PromptSpec.
namespace PromptDialog {

// Shows the prompt modally. "确认" writes the field's text into answer, "退出" writes "~",
// the close box writes nothing.
void run(const PromptSpec& spec, QString& answer, QWidget* parent);

} // namespace PromptDialog
