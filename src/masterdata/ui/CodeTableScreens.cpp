#include "masterdata/ui/CodeTableScreens.h"

#include "core/ui/ListWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"
#include "masterdata/CodeTables.h"

namespace CodeTableScreens {

QWidget* openList(const CodeTableKind& kind, QWidget* owner)
{
    auto* window = new ListWindow([&kind](Ui& ui) { return std::make_unique<RecordList>(kind.list, ui); },
                                  ListWindow::standardButtons(!kind.list.reportFile.isEmpty()), owner);
    window->setAddAction([&kind, window] {
        RecordDialog::exec(
            [&kind](Ui& ui) { return std::make_unique<CodeTableForm>(kind, RecordForm::Mode::Add, ui); }, QString(),
            window);
    });
    window->setEditAction([&kind, window](const QString& key) {
        RecordDialog::exec(
            [&kind](Ui& ui) { return std::make_unique<CodeTableForm>(kind, RecordForm::Mode::Edit, ui); }, key,
            window);
    });
    return window;
}

} // namespace CodeTableScreens

void registerMasterDataScreens()
{
    for (const CodeTableKind* kind : CodeTableKind::all())
        Screens::add(kind->list.formName,
                     [kind](QWidget* owner) -> QWidget* { return CodeTableScreens::openList(*kind, owner); });
}
