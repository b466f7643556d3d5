#include "sales/ReceiptPrinter.h"

#include "core/ProgramFolder.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const char* const kOpenError = "文件打开错误";

int g_timeoutMs = 10000;

// The receipt device, opened without blocking: a printer that is switched off or out of paper
// must not freeze the till. A spool file is appended to, so it keeps every receipt; a printer
// port is a character device that is simply written to.
class Device {
public:
    ~Device()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open(QString* error)
    {
        m_name = ReceiptPrinter::deviceName();
        m_fd =
            ::open(QFile::encodeName(m_name).constData(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            if (error)
                *error = QString::fromUtf8(kOpenError);
            return false;
        }
        m_timer.start();
        return true;
    }

    // Writes every byte, waiting while the printer is busy, up to the time limit for the
    // whole receipt.
    bool write(const QByteArray& bytes, QString* error)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                if (error)
                    *error = QStringLiteral("小票打印机写入错误: %1 (%2)")
                                 .arg(m_name, QString::fromLocal8Bit(strerror(errno)));
                return false;
            }
            // The printer is busy: wait until it takes more, but not past the time limit.
            const qint64 left = g_timeoutMs - m_timer.elapsed();
            if (left <= 0) {
                if (error)
                    *error = QStringLiteral("小票打印机没有响应，请检查打印机是否开机、有纸: %1").arg(m_name);
                return false;
            }
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, int(qMin<qint64>(left, 200)));
        }
        return true;
    }

private:
    QString m_name;
    int m_fd = -1;
    QElapsedTimer m_timer;
};

} // namespace

namespace ReceiptPrinter {

QString openErrorText()
{
    return QString::fromUtf8(kOpenError);
}

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

namespace {

// Line by line, each line sent as soon as it is read, ended by CR LF whatever ended it in the
// text.
bool copyLines(QIODevice& in, const QString& name, Device& device, QString* error)
{
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        if (line.isEmpty() && !in.atEnd()) {
            if (error)
                *error = QStringLiteral("收银小票文件读取错误: %1 (%2)").arg(name, in.errorString());
            return false;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (!device.write(line + "\r\n", error))
            return false;
    }
    return true;
}

} // namespace

bool printFile(const QString& file, QString* error)
{
    Device device;
    if (!device.open(error))
        return false;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("收银小票文件读取错误: %1 (%2)").arg(file, in.errorString());
        return false;
    }
    return copyLines(in, file, device, error);
}

bool printText(const QByteArray& text, QString* error)
{
    Device device;
    if (!device.open(error))
        return false;
    QBuffer in;
    in.setData(text);
    in.open(QIODevice::ReadOnly);
    return copyLines(in, QStringLiteral("小票"), device, error);
}

bool openMoneyBox(QString* error)
{
    Device device;
    if (!device.open(error))
        return false;
    // ESC p 0 60 255: a pulse on drawer pin 2, 120 ms on, 510 ms off.
    static const char kick[] = {0x1b, 0x70, 0x00, 0x3c, char(0xff)};
    return device.write(QByteArray(kick, sizeof kick), error);
}

int writeTimeoutMs()
{
    return g_timeoutMs;
}

void setWriteTimeoutMs(int ms)
{
    g_timeoutMs = ms;
}

} // namespace ReceiptPrinter
