#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// The screens the main menu can open, by form name ("Tspxs_form"). Each subsystem registers
// its windows once at start-up (see app/RegisterScreens.cpp); a menu item whose screen is not
// registered stays disabled.
namespace Screens {

// Creates the screen with the main window as owner. A QDialog is shown modally; any other
// widget opens as a maximised child inside the main window.
using Factory = std::function<QWidget*(QWidget* owner)>;

void add(const QString& formName, Factory factory);
Factory find(const QString& formName);
bool has(const QString& formName);

} // namespace Screens
