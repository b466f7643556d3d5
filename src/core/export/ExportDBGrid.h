#pragma once

#include "core/GridColumn.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Query;
class Ui;

// Writes rows to a spreadsheet workbook (.xlsx): row 1 the column names, then one sheet row
// per row in order, every column 15 characters wide, column A stored as text. Numbers from
// the database stay numbers in the other columns; everything else is written as text.
// An existing file is replaced only once the new workbook is complete.
// Returns false with a message in `error` when the file cannot be written.
bool writeWorkbook(const QString& fileName, const QStringList& columns, const QVector<QVector<QVariant>>& rows,
                   QString* error);

// The "导出" command of the query screens: asks for a file name ("导出文件"), writes the rows
// of the query behind the grid and says "导出成功". Cancelling the file dialog writes nothing
// and counts as done. A query that was never opened, or a file that cannot be written, is a
// failure: its message goes to `error` when the caller wants to word it itself, otherwise it
// is shown as an error. Afterwards the query stands on its last row.
bool ExportDBGrid(Ui& ui, Query& query, QString* error = nullptr);
// The same for a grid that declares its columns: those columns, in their order, headed by their
// captions (hidden ones left out).
bool ExportDBGrid(Ui& ui, Query& query, const GridColumns& columns, QString* error = nullptr);
