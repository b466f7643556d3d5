#include "sales/ReceiptPrinter.h"

#include "core/ProgramFolder.h"

#include <QFile>
#include <QFileInfo>

namespace {

const char* const kOpenError = "文件打开错误";

// A spool file is opened for appending, so it keeps every receipt; a printer port is a
// character device that is simply written to.
bool openDevice(QFile& device, QString* error)
{
    const QString name = ReceiptPrinter::deviceName();
    device.setFileName(name);
    const QFileInfo info(name);
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!info.exists() || info.isFile())
        mode |= QIODevice::Append;
    if (!device.open(mode)) {
        if (error)
            *error = QString::fromUtf8(kOpenError);
        return false;
    }
    return true;
}

bool writeAll(QFile& device, const QByteArray& bytes, QString* error)
{
    if (device.write(bytes) != bytes.size()) {
        if (error)
            *error = QStringLiteral("小票打印机写入错误: %1 (%2)").arg(device.fileName(), device.errorString());
        return false;
    }
    return true;
}

} // namespace

namespace ReceiptPrinter {

QString deviceName()
{
    const QString configured = qEnvironmentVariable("POS_RECEIPT_DEVICE");
    if (!configured.isEmpty())
        return configured;
    for (const char* port : {"/dev/usb/lp0", "/dev/lp0"}) {
        const QString name = QString::fromLatin1(port);
        if (QFileInfo::exists(name))
            return name;
    }
    return ProgramFolder::file(QStringLiteral("LPT1"));
}

bool printFile(const QString& file, QString* error)
{
    QFile device;
    if (!openDevice(device, error))
        return false;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("收银小票文件读取错误: %1 (%2)").arg(file, in.errorString());
        return false;
    }
    // Line by line, each line sent as soon as it is read, ended by CR LF whatever ended it
    // in the file.
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        if (line.isEmpty() && in.error() != QFile::NoError) {
            if (error)
                *error = QStringLiteral("收银小票文件读取错误: %1 (%2)").arg(file, in.errorString());
            return false;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (!writeAll(device, line + "\r\n", error))
            return false;
    }
    return true;
}

bool openMoneyBox(QString* error)
{
    QFile device;
    if (!openDevice(device, error))
        return false;
    // ESC p 0 60 255: a pulse on drawer pin 2, 120 ms on, 510 ms off.
    static const char kick[] = {0x1b, 0x70, 0x00, 0x3c, char(0xff)};
    return writeAll(device, QByteArray(kick, sizeof kick), error);
}

} // namespace ReceiptPrinter
