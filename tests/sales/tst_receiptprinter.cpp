#include "core/Ui.h"
#include "sales/Receipt.h"
#include "sales/ReceiptPrinter.h"
#include "sales/Voice.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kDrawerKick("\x1b\x70\x00\x3c\xff", 5);

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Sets POS_RECEIPT_DEVICE for one test and restores it afterwards.
class DeviceVariable {
public:
    explicit DeviceVariable(const QString& value)
        : m_had(qEnvironmentVariableIsSet("POS_RECEIPT_DEVICE")), m_old(qgetenv("POS_RECEIPT_DEVICE"))
    {
        if (value.isNull())
            qunsetenv("POS_RECEIPT_DEVICE");
        else
            qputenv("POS_RECEIPT_DEVICE", value.toLocal8Bit());
    }
    ~DeviceVariable()
    {
        if (m_had)
            qputenv("POS_RECEIPT_DEVICE", m_old);
        else
            qunsetenv("POS_RECEIPT_DEVICE");
    }

private:
    bool m_had;
    QByteArray m_old;
};

// Counts the window-event turns the voice prompt gives.
class CountingUi : public ScriptedUi {
public:
    int turns = 0;
    void processEvents() override { ++turns; }
};

// Speaks again from inside the event turn, as an activated dialog would.
class ReentrantUi : public ScriptedUi {
public:
    int turns = 0;
    int nested = 0;
    void processEvents() override
    {
        ++turns;
        CountingUi inner;
        Voice::speakAmount(3, inner);
        nested += inner.turns == 0 ? 1 : 0;
    }
};

} // namespace

class ReceiptPrinterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deviceName()
    {
        TestShop shop;
        {
            DeviceVariable device(QStringLiteral("/tmp/some-printer"));
            QCOMPARE(ReceiptPrinter::deviceName(), QStringLiteral("/tmp/some-printer"));
        }
        if (QFile::exists(QStringLiteral("/dev/usb/lp0")) || QFile::exists(QStringLiteral("/dev/lp0")))
            QSKIP("this machine has a printer port");
        DeviceVariable device{QString()};
        QCOMPARE(ReceiptPrinter::deviceName(), shop.file(QStringLiteral("LPT1")));
    }

    // The receipt reaches the device as the file holds it, line by line with CR LF; the drawer
    // kick follows; the spool file keeps what was there before.
    void receiptAndDrawerAreAppended()
    {
        TestShop shop;
        const QString spool = shop.file(QStringLiteral("LPT1"));
        DeviceVariable device(spool);
        QVERIFY(writeFile(spool, "earlier receipt\r\n"));

        ReceiptData d;
        d.shopName = QStringLiteral("星光超市");
        d.lines << ReceiptLine{QStringLiteral("可乐"), QStringLiteral("330ml"), 2, 2.5, 5};
        QString error;
        QVERIFY2(Receipt::write(d, Receipt::billFile(), &error), qPrintable(error));
        QVERIFY2(ReceiptPrinter::printFile(Receipt::billFile(), &error), qPrintable(error));
        QVERIFY2(ReceiptPrinter::openMoneyBox(&error), qPrintable(error));

        QCOMPARE(readAll(spool), QByteArray("earlier receipt\r\n") + Receipt::render(d) + kDrawerKick);
        QCOMPARE(readAll(Receipt::billFile()), Receipt::render(d));
    }

    // Whatever ends a line in the file, the device gets CR LF; a last line without an end gets one.
    void lineEndsToThePrinter()
    {
        QTemporaryDir dir;
        const QString spool = dir.filePath(QStringLiteral("printer"));
        DeviceVariable device(spool);
        const QString file = dir.filePath(QStringLiteral("text.txt"));
        QVERIFY(writeFile(file, "one\ntwo\r\nthree"));
        QString error;
        QVERIFY2(ReceiptPrinter::printFile(file, &error), qPrintable(error));
        QCOMPARE(readAll(spool), QByteArray("one\r\ntwo\r\nthree\r\n"));
    }

    // A character device (a printer port) opens for appending like a spool file.
    void characterDevice()
    {
        TestShop shop;
        DeviceVariable device(QStringLiteral("/dev/null"));
        QString error;
        QVERIFY(writeFile(Receipt::billFile(), "line\r\n"));
        QVERIFY2(ReceiptPrinter::printFile(Receipt::billFile(), &error), qPrintable(error));
        QVERIFY2(ReceiptPrinter::openMoneyBox(&error), qPrintable(error));
    }

    // A device that takes nothing (a printer out of paper, a full disk) is an error, not a
    // receipt that was printed.
    void deviceThatRefusesTheBytes()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        TestShop shop;
        DeviceVariable device(QStringLiteral("/dev/full"));
        QVERIFY(writeFile(Receipt::billFile(), "line\r\n"));
        QString error;
        QVERIFY(!ReceiptPrinter::printFile(Receipt::billFile(), &error));
        QVERIFY(!error.isEmpty() && error != QStringLiteral("文件打开错误"));
        error.clear();
        QVERIFY(!ReceiptPrinter::openMoneyBox(&error));
        QVERIFY(!error.isEmpty() && error != QStringLiteral("文件打开错误"));
    }

    // A printer that stops taking bytes (switched off, out of paper) is reported after the
    // time limit instead of holding the till; one with nobody behind it cannot be opened.
    void printerThatDoesNotAnswer()
    {
        TestShop shop;
        const QString fifo = shop.file(QStringLiteral("printer"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        DeviceVariable device(fifo);
        QString error;
        QVERIFY(!ReceiptPrinter::openMoneyBox(&error));
        QCOMPARE(error, QStringLiteral("文件打开错误"));

        // A reader that never reads: the pipe fills up like a printer's buffer.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QVERIFY(writeFile(Receipt::billFile(), QByteArray(4000, 'x').append("\r\n").repeated(40)));
        const int oldTimeout = ReceiptPrinter::writeTimeoutMs();
        ReceiptPrinter::setWriteTimeoutMs(300);
        QElapsedTimer t;
        t.start();
        const bool printed = ReceiptPrinter::printFile(Receipt::billFile(), &error);
        const qint64 waited = t.elapsed();
        ReceiptPrinter::setWriteTimeoutMs(oldTimeout);
        ::close(reader);
        QVERIFY(!printed);
        QVERIFY2(error.startsWith(QStringLiteral("小票打印机没有响应")), qPrintable(error));
        QVERIFY2(waited >= 250 && waited < 3000, qPrintable(QString::number(waited)));
    }

    void deviceThatCannotBeOpened()
    {
        TestShop shop;
        DeviceVariable device(shop.file(QStringLiteral("no-such-folder/LPT1")));
        QVERIFY(writeFile(Receipt::billFile(), "line\r\n"));
        QString error;
        QVERIFY(!ReceiptPrinter::printFile(Receipt::billFile(), &error));
        QCOMPARE(error, QStringLiteral("文件打开错误"));
        error.clear();
        QVERIFY(!ReceiptPrinter::openMoneyBox(&error));
        QCOMPARE(error, QStringLiteral("文件打开错误"));
        // The receipt stays for a reprint.
        QCOMPARE(readAll(Receipt::billFile()), QByteArray("line\r\n"));
    }

    void missingReceiptFile()
    {
        TestShop shop;
        DeviceVariable device(shop.file(QStringLiteral("LPT1")));
        QString error;
        QVERIFY(!ReceiptPrinter::printFile(shop.file(QStringLiteral("bill.txt")), &error));
        QVERIFY(error.contains(QStringLiteral("bill.txt")));
        QVERIFY(error != QStringLiteral("文件打开错误"));
    }

    // Without a sound folder the prompt is silent and returns at once, still handing the
    // window its events once per character.
    void speakWithoutSounds()
    {
        TestShop shop;
        QVERIFY(!QDir(Voice::soundFolder()).exists());
        CountingUi ui;
        QElapsedTimer t;
        t.start();
        Voice::speakAmount(12.5, ui);
        QVERIFY(t.elapsed() < 1000);
        QVERIFY(ui.shown.isEmpty());
    }

    // With a folder missing some files, and on a machine that may have no sound device, the
    // prompt goes through every character and ends; nothing is reported.
    void speakWithSomeSounds()
    {
        TestShop shop;
        QVERIFY(QDir().mkpath(Voice::soundFolder()));
        const QString built = QStringLiteral(POS_PROGRAM_DIR "/sound/");
        for (const char* ch : {"壹", "拾", "元"}) {
            const QString name = QString::fromUtf8(ch) + QStringLiteral(".wav");
            QVERIFY2(QFile::copy(built + name, Voice::soundFolder() + QLatin1Char('/') + name),
                     qPrintable(built + name));
        }
        // A file that is not a wave at all.
        QVERIFY(writeFile(Voice::soundFolder() + QStringLiteral("/贰.wav"), "not a wave"));
        CountingUi ui;
        QElapsedTimer t;
        t.start();
        Voice::speakAmount(12.5, ui);
        QCOMPARE(ui.turns, 7);
        QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(ui.shown.isEmpty());
    }

    // A window event handled between two files (the dialog activated again) must not start a
    // second amount inside the first.
    void speakIsNotReentered()
    {
        TestShop shop;
        QVERIFY(QDir().mkpath(Voice::soundFolder()));
        ReentrantUi ui;
        Voice::speakAmount(12.5, ui);
        QCOMPARE(ui.turns, 7);
        QCOMPARE(ui.nested, 7);
    }

    void soundFilesAreBuilt()
    {
        const QString folder = QStringLiteral(POS_PROGRAM_DIR "/sound/");
        for (QChar ch : QStringLiteral("零壹贰叁肆伍陆柒捌玖分角元拾佰仟万亿负整")) {
            const QByteArray head = readAll(folder + ch + QStringLiteral(".wav")).left(12);
            QVERIFY2(head.startsWith("RIFF") && head.mid(8, 4) == "WAVE", qPrintable(QString(ch)));
        }
    }
};

QTEST_GUILESS_MAIN(ReceiptPrinterTest)
#include "tst_receiptprinter.moc"
