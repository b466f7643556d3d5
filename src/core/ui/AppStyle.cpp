#include "core/ui/AppStyle.h"

#include <QApplication>

namespace AppStyle {

void apply(QApplication& app)
{
    // A read-only entry is grey; the focused one is sky blue, read-only or not.
    app.setStyleSheet(QStringLiteral("QLineEdit:read-only { background-color: rgb(236, 239, 243); }"
                                     "QLineEdit:focus, QComboBox:focus, QPlainTextEdit:focus, QDateEdit:focus,"
                                     " QSpinBox:focus, QDoubleSpinBox:focus { background-color: rgb(166, 202, 240); }"));
}

} // namespace AppStyle
