#include "sales/Voice.h"

#include "core/ProgramFolder.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace {

const QString kDigits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
// Unit word of the digit that stands k places left of the fen digit.
const QString kUnits = QStringLiteral("分角元拾佰仟万拾佰仟亿拾佰仟万");

// The whole number of fen in the amount, half a fen going away from zero, as digits.
// The product is taken in extended precision, which keeps 0.29 at 29 fen.
QString fenDigits(double amount)
{
    const long double fen = std::roundl(static_cast<long double>(amount) * 100.0L);
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.0Lf", fen);
    return QString::fromLatin1(buf);
}

// Playing is synchronous; a key handled between two files must not start a second amount.
bool g_speaking = false;

// The samples of a PCM wave file and their format; empty when the file is not one.
struct Wave {
    QAudioFormat format;
    QByteArray samples;
};

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

Wave readWave(const QString& file)
{
    Wave wave;
    QFile f(file);
    // A voice file is a second or so; anything far bigger is not one of ours.
    if (!f.open(QIODevice::ReadOnly) || f.size() > 16 * 1024 * 1024)
        return wave;
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    QAudioFormat format;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (size > bytes.size() - body) {
            // A writer that could not seek back leaves the data size open: take what is there.
            if (id != "data")
                break;
        }
        if (id == "fmt " && size >= 16) {
            const int pcm = le16(bytes, body);
            const int channels = le16(bytes, body + 2);
            const int rate = int(le32(bytes, body + 4));
            const int bits = le16(bytes, body + 14);
            if (pcm != 1 || channels < 1 || channels > 2 || rate < 8000 || rate > 192000)
                return wave;
            if (bits == 8)
                format.setSampleFormat(QAudioFormat::UInt8);
            else if (bits == 16)
                format.setSampleFormat(QAudioFormat::Int16);
            else if (bits == 32)
                format.setSampleFormat(QAudioFormat::Int32);
            else
                return wave;
            format.setChannelCount(channels);
            format.setSampleRate(rate);
        } else if (id == "data") {
            if (!format.isValid())
                return wave;
            wave.samples = bytes.mid(body, qMin(size, bytes.size() - body));
            wave.samples.truncate(wave.samples.size() - wave.samples.size() % format.bytesPerFrame());
            wave.format = format;
            return wave;
        }
        at = body + size + (size % 2);
    }
    return wave;
}

// Plays one wave file to its end through the sound device. The device reports idle once it
// has taken every sample; the samples still in its buffer then play out before the next file.
// An error ends the wait at once, and a time limit a little past the file's own length ends it
// in any case, so a sound system that never reports the end cannot hold the till.
void playWave(const QAudioDevice& device, const QString& file)
{
    const Wave wave = readWave(file);
    if (wave.samples.isEmpty() || !device.isFormatSupported(wave.format))
        return;
    QByteArray samples = wave.samples;
    QBuffer source(&samples);
    source.open(QIODevice::ReadOnly);
    QAudioSink sink(device, wave.format);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&](QAudio::State state) {
        if (state == QAudio::StoppedState) {
            loop.quit();
        } else if (state == QAudio::IdleState) {
            const qint64 bufferedMs = wave.format.durationForBytes(sink.bufferSize()) / 1000;
            limit.start(int(qBound(qint64(20), bufferedMs, qint64(500))));
        }
    });
    sink.start(&source);
    if (sink.error() != QAudio::NoError || sink.state() == QAudio::StoppedState)
        return;
    const qint64 lengthMs = wave.format.durationForBytes(qint32(wave.samples.size())) / 1000;
    limit.start(int(lengthMs) + 1500);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    sink.stop();
}

} // namespace

namespace Voice {

QString moneyConvert(double amount)
{
    if (!std::isfinite(amount))
        return QString();
    QString r;
    const QString digits = fenDigits(std::fabs(amount));
    // Less than half a fen below zero is nothing, not "负整".
    if (amount < 0 && digits != QLatin1String("0"))
        r = QStringLiteral("负");
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        r += kDigits[digits[i].unicode() - '0'];
        const int unit = n - 1 - i;
        if (unit < kUnits.size())
            r += kUnits[unit];
    }

    static const std::pair<const char*, const char*> kRules[] = {
        {"零仟", "零"}, {"零佰", "零"}, {"零拾", "零"}, {"零角", "零"}, {"零分", "整"},
        {"零零", "零"}, {"零零", "零"}, {"零亿", "亿"}, {"零万", "万"}, {"零元", "元"},
    };
    for (const auto& [from, to] : kRules)
        r.replace(QString::fromUtf8(from), QString::fromUtf8(to));

    if (r == QStringLiteral("整"))
        return QStringLiteral("零元整");
    r.replace(QStringLiteral("亿万"), QStringLiteral("亿零"));
    r.replace(QStringLiteral("零整"), QStringLiteral("整"));
    return r;
}

QString getStrText(const QString& text, int start, int count)
{
    const int length = TextUtil::gbkLength(text);
    if (start > length)
        return QStringLiteral("ERROR_OVERSTRING");
    if (start + count - 1 > length)
        count = length - start + 1;
    if (start < 1) {
        count -= 1 - start;
        start = 1;
    }
    if (count <= 0)
        return QString();
    return text.mid(start - 1, count);
}

QString soundFolder()
{
    return ProgramFolder::shipped(QStringLiteral("sound"));
}

void speakAmount(double amount, Ui& ui)
{
    if (g_speaking)
        return;
    const QString words = moneyConvert(amount);
    const QString folder = soundFolder();
    if (words.isEmpty() || !QFileInfo(folder).isDir())
        return;
    // Without a sound device there is nothing to wait for.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();

    g_speaking = true;
    // Every character of the capitals is a double-byte one, so the count is half the bytes.
    const int count = TextUtil::gbkLength(words) / 2;
    for (int j = 1; j <= count; ++j) {
        const QString ch = getStrText(words, j, 1);
        const QString file = folder + QLatin1Char('/') + ch + QStringLiteral(".wav");
        if (!device.isNull() && QFileInfo::exists(file))
            playWave(device, file);
        ui.processEvents();
    }
    g_speaking = false;
}

} // namespace Voice
