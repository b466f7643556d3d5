#pragma once

class QApplication;

// The look every window shares, set once at start-up: the field that has the focus is painted
// sky blue (red 166, green 202, blue 240) and goes back to the window colour when it loses it.
namespace AppStyle {

void apply(QApplication& app);

} // namespace AppStyle
