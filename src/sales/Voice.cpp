#include "sales/Voice.h"

#include "core/ProgramFolder.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

#include <QAudioDevice>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

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

// How long a wave file plays, from its header; a generous guess when the header is unusual.
int playingTimeMs(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(44);
    if (head.size() < 44 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return 5000;
    const auto u32 = [&](int at) {
        return quint32(quint8(head[at])) | quint32(quint8(head[at + 1])) << 8 | quint32(quint8(head[at + 2])) << 16
               | quint32(quint8(head[at + 3])) << 24;
    };
    const quint32 byteRate = u32(28);
    if (byteRate == 0)
        return 5000;
    const qint64 dataBytes = f.size() - 44;
    return int(qMin<qint64>(dataBytes * 1000 / byteRate, 30000));
}

// Plays one wave file to its end. Loading, an error or a silent device ends the wait;
// so does a time limit a little past the file's own length, so a sound system that
// never reports the end cannot hold the till.
void playWave(const QString& file)
{
    const int lengthMs = playingTimeMs(file);
    QSoundEffect effect;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Ready)
            effect.play();
        else if (effect.status() == QSoundEffect::Error)
            loop.quit();
    });
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect.isPlaying())
            loop.quit();
    });
    effect.setSource(QUrl::fromLocalFile(file));
    if (effect.status() == QSoundEffect::Error)
        return;
    if (effect.status() == QSoundEffect::Ready)
        effect.play();
    limit.start(lengthMs + 1500);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    effect.stop();
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
    return ProgramFolder::file(QStringLiteral("sound"));
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
    const bool canPlay = !QMediaDevices::defaultAudioOutput().isNull();

    g_speaking = true;
    // Every character of the capitals is a double-byte one, so the count is half the bytes.
    const int count = TextUtil::gbkLength(words) / 2;
    for (int j = 1; j <= count; ++j) {
        const QString ch = getStrText(words, j, 1);
        const QString file = folder + QLatin1Char('/') + ch + QStringLiteral(".wav");
        if (canPlay && QFileInfo::exists(file))
            playWave(file);
        ui.processEvents();
    }
    g_speaking = false;
}

} // namespace Voice
