#pragma once

#include "core/Ui.h"

// The members of the prompt and picker families, each described by its row of data.
namespace Dialogs {

// "Txtts1_form" … "Txtts4_form"; an unknown name gives an empty spec.
PromptSpec prompt(const QString& formName);
// "Tsphelp2_form" … "Tsphelp16_form"; an unknown name gives an empty spec.
PickerSpec picker(const QString& formName);

QStringList promptNames();
QStringList pickerNames();

} // namespace Dialogs
