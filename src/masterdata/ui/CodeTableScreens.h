#pragma once

class QWidget;
struct CodeTableKind;

// The windows of the four code tables: one list window and one record dialog for the family.
namespace CodeTableScreens {

QWidget* openList(const CodeTableKind& kind, QWidget* owner);

} // namespace CodeTableScreens

void registerMasterDataScreens();
