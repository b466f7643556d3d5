#include "core/export/ExportDBGrid.h"

#include "core/DbConnection.h"
#include "core/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

QString fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return text;
}

} // namespace

bool writeWorkbook(const QString& fileName, const QStringList& columns, const QVector<QVector<QVariant>>& rows,
                   QString* error)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    if (fileName.isEmpty()) {
        fail(error, QStringLiteral("没有给出导出文件名"));
        return false;
    }
    if (rows.size() + 1 > LXW_ROW_MAX) {
        fail(error, QStringLiteral("数据有 %1 行，超出了表格文件的行数上限").arg(rows.size()));
        return false;
    }
    const QFileInfo target(fileName);
    if (target.isDir()) {
        fail(error, QStringLiteral("无法写入文件 %1：这是一个文件夹").arg(shown));
        return false;
    }

    // The workbook is written beside the target first and moved over it when complete, so a
    // failed export never destroys the file it was to replace.
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.export-XXXXXX.xlsx"));
    if (!temp.open()) {
        fail(error, QStringLiteral("无法写入文件 %1：%2").arg(shown, temp.errorString()));
        return false;
    }
    temp.close();
    const QByteArray tempName = QFile::encodeName(temp.fileName());

    lxw_workbook* workbook = workbook_new(tempName.constData());
    if (!workbook) {
        fail(error, QStringLiteral("无法写入文件 %1").arg(shown));
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* text = workbook_add_format(workbook);
    format_set_num_format_index(text, 49); // the built-in "@" text format

    lxw_error rc = LXW_NO_ERROR;
    if (!columns.isEmpty())
        rc = worksheet_set_column(sheet, 0, 0, 15, text);
    if (rc == LXW_NO_ERROR && columns.size() > 1)
        rc = worksheet_set_column(sheet, 1, lxw_col_t(columns.size() - 1), 15, nullptr);
    for (int c = 0; c < columns.size() && rc == LXW_NO_ERROR; ++c)
        rc =
            worksheet_write_string(sheet, 0, lxw_col_t(c), columns.at(c).toUtf8().constData(), c == 0 ? text : nullptr);
    for (int r = 0; r < rows.size() && rc == LXW_NO_ERROR; ++r) {
        const QVector<QVariant>& row = rows.at(r);
        for (int c = 0; c < columns.size() && c < row.size() && rc == LXW_NO_ERROR; ++c) {
            const QVariant& v = row.at(c);
            const lxw_row_t sheetRow = lxw_row_t(r + 1);
            if (c == 0)
                rc = worksheet_write_string(sheet, sheetRow, 0, Query::variantText(v).toUtf8().constData(), text);
            else if (v.isNull())
                continue;
            else if (isNumber(v))
                rc = worksheet_write_number(sheet, sheetRow, lxw_col_t(c), v.toDouble(), nullptr);
            else
                rc = worksheet_write_string(sheet, sheetRow, lxw_col_t(c), Query::variantText(v).toUtf8().constData(),
                                            nullptr);
        }
    }
    const lxw_error closed = workbook_close(workbook);
    if (rc == LXW_NO_ERROR)
        rc = closed;
    if (rc != LXW_NO_ERROR) {
        fail(error, QStringLiteral("无法写入文件 %1：%2").arg(shown, QString::fromUtf8(lxw_strerror(rc))));
        return false;
    }
    // The temporary file is private to its owner; the workbook gets the permissions the file
    // it replaces had, or those of any new file, so the shop's other accounts can open it.
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(targetName.constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::chmod(tempName.constData(), mode) != 0) {
        fail(error, QStringLiteral("无法写入文件 %1：%2").arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    if (std::rename(tempName.constData(), targetName.constData()) != 0) {
        fail(error, QStringLiteral("无法写入文件 %1：%2").arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

bool ExportDBGrid(Ui& ui, Query& query, QString* error)
{
    return ExportDBGrid(ui, query, GridColumns(), error);
}

bool ExportDBGrid(Ui& ui, Query& query, const GridColumns& gridColumns, QString* error)
{
    auto failed = [&](const QString& text) {
        if (error)
            *error = text;
        else
            ui.showError(text);
        return false;
    };
    // Checked before the file dialog, so nobody picks a file for nothing.
    if (!query.isOpen())
        return failed(QStringLiteral("没有可导出的数据，请先查询"));

    const QString fileName =
        ui.saveFileName(QStringLiteral("导出文件"), QStringLiteral("Excel files (*.xlsx)"), QStringLiteral("xlsx"));
    if (fileName.isEmpty())
        return true;

    ui.processEvents();
    QString problem;
    bool written = false;
    const GridColumns shown = visibleColumns(gridColumns);
    if (shown.isEmpty()) {
        written = writeWorkbook(fileName, query.columns(), query.rows(), &problem);
    } else {
        // The grid's columns in the grid's order, headed by their captions.
        QStringList captions;
        QList<int> at;
        for (const GridColumn& c : shown) {
            captions << c.caption;
            at << query.columnIndex(c.field);
        }
        QVector<QVector<QVariant>> rows;
        rows.reserve(query.rows().size());
        for (const QVector<QVariant>& row : query.rows()) {
            QVector<QVariant> out;
            out.reserve(at.size());
            for (int i : at)
                out << (i >= 0 && i < row.size() ? row.at(i) : QVariant());
            rows << out;
        }
        written = writeWorkbook(fileName, captions, rows, &problem);
    }
    query.last();
    if (!written)
        return failed(problem);
    ui.showMessage(QStringLiteral("导出成功"));
    return true;
}
