#include "core/SilentUi.h"

namespace {
const QString kNone = QStringLiteral("~");
}

void SilentUi::showMessage(const QString& text)
{
    shown << text;
}

void SilentUi::messageBox(const QString&, const QString& text, Icon)
{
    shown << text;
}

void SilentUi::showError(const QString& text)
{
    shown << text;
    errors << text;
}

bool SilentUi::confirm(const QString&, const QString&, Icon)
{
    return confirmAnswer;
}

void SilentUi::prompt(const PromptSpec&, QString& answer)
{
    answer = promptAnswers.isEmpty() ? kNone : promptAnswers.dequeue();
}

void SilentUi::pick(const PickerSpec&, QStringList& answers)
{
    if (!pickAnswers.isEmpty()) {
        answers = pickAnswers.dequeue();
        return;
    }
    for (QString& a : answers)
        a = kNone;
}

QString SilentUi::saveFileName(const QString&, const QString&, const QString&)
{
    return {};
}

QString SilentUi::openFileName(const QString&, const QString&)
{
    return {};
}

void SilentUi::showPrintPreview(const QString&, const QString&, bool, const QPageLayout&,
                                const std::function<void(QPagedPaintDevice*)>&)
{
}

Ui::PrintOutcome SilentUi::printDirect(const QString&, const std::function<QString(QPagedPaintDevice*)>&, QString*)
{
    return PrintOutcome::Cancelled;
}

void SilentUi::clear()
{
    shown.clear();
    errors.clear();
}
