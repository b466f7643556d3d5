#include "core/report/Report.h"

#include "core/DbConnection.h"
#include "core/ProgramFolder.h"
#include "core/Ui.h"
#include "core/report/ReportRenderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

Report::Report(Ui& ui) : m_ui(ui) {}

void Report::setProjectFile(const QString& name)
{
    m_projectFile = ProgramFolder::shipped(name);
}

void Report::setPreviewTitle(const QString& title, bool maximised)
{
    m_title = title;
    m_maximised = maximised;
}

void Report::setSetupTitle(const QString& title)
{
    m_setupTitle = title;
}

void Report::setConnection(const QString& name, const Query& query)
{
    m_data.set(name, ReportDataSet::fromQuery(query));
}

void Report::setConnection(const QString& name, const ReportDataSet& rows)
{
    m_data.set(name, rows);
}

bool Report::open()
{
    close();
    const QString shown = QDir::toNativeSeparators(m_projectFile);
    QFile file(m_projectFile);
    if (m_projectFile.isEmpty() || !QFileInfo(m_projectFile).isFile()) {
        m_ui.showError(QStringLiteral("找不到报表文件 %1").arg(shown));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_ui.showError(QStringLiteral("无法读取报表文件 %1：%2").arg(shown, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        m_ui.showError(QStringLiteral("报表文件 %1 不是 UTF-8 编码的文本").arg(shown));
        return false;
    }
    QString error;
    if (!ReportLayout::parse(text, &m_layout, &error)) {
        m_ui.showError(QStringLiteral("报表文件 %1 格式有误：%2").arg(shown, error));
        m_layout = ReportLayout();
        return false;
    }
    m_open = true;
    return true;
}

bool Report::execute()
{
    if (!m_open)
        return false;
    for (const QString& name : m_layout.connections()) {
        if (!m_data.contains(name)) {
            m_ui.showError(QStringLiteral("报表文件 %1 要用的数据连接 %2 没有数据")
                               .arg(QDir::toNativeSeparators(m_projectFile), name));
            return false;
        }
    }
    m_ui.showPrintPreview(m_title, m_setupTitle.isEmpty() ? m_title : m_setupTitle, m_maximised, m_layout.pageLayout(),
                          [this](QPagedPaintDevice* device) { render(device); });
    return true;
}

void Report::close()
{
    m_open = false;
}

int Report::render(QPagedPaintDevice* device) const
{
    if (!m_open || !device)
        return 0;
    ReportRenderer renderer(m_layout, m_data);
    return renderer.render(device);
}

bool Report::run(const QString& fileName)
{
    setProjectFile(fileName);
    const bool shown = open() && execute();
    close();
    return shown;
}
