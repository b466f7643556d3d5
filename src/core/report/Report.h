#pragma once

#include "core/report/ReportData.h"
#include "core/report/ReportLayout.h"

#include <QString>

class QPagedPaintDevice;
class Query;
class Ui;

// One screen's report project. A print command runs the four steps in order:
//
//     Report report(ui);
//     report.setConnection("splbRvDataSetConnection1", query);
//     report.setPreviewTitle("商品类别打印", true);
//     report.setSetupTitle("商品类别打印设置");      // only where it differs
//     report.setProjectFile("splb.rav");     // the file in the program folder
//     if (report.open())                      // a missing or faulty file says so; nothing printed
//         report.execute();                   // the preview, with printing and PDF from there
//     report.close();
//
// run() does the same in one call.
class Report {
public:
    explicit Report(Ui& ui);

    // The report file: program folder + name.
    void setProjectFile(const QString& name);
    QString projectFile() const { return m_projectFile; }

    // The title of the preview window and of the print job; the preview may open maximised.
    void setPreviewTitle(const QString& title, bool maximised = false);
    QString previewTitle() const { return m_title; }
    // The title of the printer and page set-up windows, where it differs from the preview's.
    void setSetupTitle(const QString& title);

    // Hands the rows of a query to the report under a connection name. The rows are copied now.
    void setConnection(const QString& name, const Query& query);
    void setConnection(const QString& name, const ReportDataSet& rows);

    // Loads and checks the report file. A missing, unreadable or faulty file is shown as an
    // error naming the file, and the report stays closed.
    bool open();
    bool isOpen() const { return m_open; }
    const ReportLayout& layout() const { return m_layout; }

    // Shows the preview of the open report. A connection the file reads that the screen did
    // not hand over is shown as an error and nothing is printed.
    bool execute();
    void close();

    // Draws the open report onto a device (a printer or a PDF writer); returns the pages drawn.
    int render(QPagedPaintDevice* device) const;

    // The whole print command: project file, open, execute, close.
    bool run(const QString& fileName);

private:
    Ui& m_ui;
    QString m_projectFile;
    QString m_title;
    QString m_setupTitle;
    bool m_maximised = false;
    ReportData m_data;
    ReportLayout m_layout;
    bool m_open = false;
};
