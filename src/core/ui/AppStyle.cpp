#include "core/ui/AppStyle.h"

#include <QApplication>

namespace AppStyle {

void apply(QApplication& app)
{
    app.setStyleSheet(QStringLiteral("QLineEdit:focus, QComboBox:focus, QPlainTextEdit:focus, QDateEdit:focus,"
                                     " QSpinBox:focus, QDoubleSpinBox:focus { background-color: rgb(166, 202, 240); }"));
}

} // namespace AppStyle
