#include "BenchSupport.h"

#include "schema/DatabaseCheck.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <ctime>

namespace Bench {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

double elapsedMs(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// ---------------------------------------------------------------------------------------------
// Figures

double Stats::at(double fraction) const
{
    QList<double> s = ms;
    std::sort(s.begin(), s.end());
    if (s.isEmpty())
        return 0;
    return s[qMin(int(s.size()) - 1, int(fraction * (s.size() - 1) + 0.5))];
}

QString Stats::line(const QString& name, int decimals, const QString& note) const
{
    return QStringLiteral("%1: median %2 ms, 90% %3 ms, max %4 ms (%5 runs%6)")
        .arg(name)
        .arg(at(0.5), 0, 'f', decimals)
        .arg(at(0.9), 0, 'f', decimals)
        .arg(at(1.0), 0, 'f', decimals)
        .arg(ms.size())
        .arg(note);
}

void Timing::time(const std::function<void()>& run)
{
    const double c = cpuMs();
    QElapsedTimer t;
    t.start();
    run();
    wall.ms << elapsedMs(t);
    cpu.ms << cpuMs() - c;
}

QString Timing::lines(const QString& name, const QString& note) const
{
    return QStringLiteral("%1 (%2 runs%3):\n    wall-clock median %4 ms, 90% %5 ms, max %6 ms\n"
                          "    processor  median %7 ms, 90% %8 ms, max %9 ms")
        .arg(name)
        .arg(wall.ms.size())
        .arg(note)
        .arg(wall.at(0.5), 0, 'f', 2)
        .arg(wall.at(0.9), 0, 'f', 2)
        .arg(wall.at(1.0), 0, 'f', 2)
        .arg(cpu.at(0.5), 0, 'f', 2)
        .arg(cpu.at(0.9), 0, 'f', 2)
        .arg(cpu.at(1.0), 0, 'f', 2);
}

// ---------------------------------------------------------------------------------------------
// Answers

void BenchUi::showMessage(const QString& text)
{
    shown << text;
}

void BenchUi::messageBox(const QString&, const QString& text, Icon)
{
    shown << text;
}

void BenchUi::showError(const QString& text)
{
    shown << text;
}

bool BenchUi::confirm(const QString&, const QString&, Icon)
{
    return confirmAnswer;
}

void BenchUi::prompt(const PromptSpec&, QString& answer)
{
    answer = answers.isEmpty() ? QStringLiteral("~") : answers.dequeue();
}

void BenchUi::pick(const PickerSpec& spec, QStringList& answers)
{
    answers = QStringList(spec.answerFields.size(), QStringLiteral("~"));
}

QString BenchUi::saveFileName(const QString&, const QString&, const QString&)
{
    return QString();
}

QString BenchUi::openFileName(const QString&, const QString&)
{
    return QString();
}

void BenchUi::showPrintPreview(const QString&, const QString&, bool, const QPageLayout&,
                               const std::function<void(QPagedPaintDevice*)>&)
{
}

Ui::PrintOutcome BenchUi::printDirect(const QString&, const std::function<QString(QPagedPaintDevice*)>&, QString*)
{
    return PrintOutcome::Cancelled;
}

// ---------------------------------------------------------------------------------------------
// Command line and shop

bool readArguments(const QStringList& arguments, QString* folder, const QList<Option>& options)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        const auto option =
            std::find_if(options.cbegin(), options.cend(), [&](const Option& o) { return o.name == a; });
        bool ok = true;
        if (option != options.cend() && i + 1 < arguments.size()) {
            *option->value = arguments.at(++i).toInt(&ok);
            ok = ok && *option->value >= option->least;
        } else if (folder->isEmpty() && !a.startsWith(QLatin1String("--"))) {
            *folder = a;
        } else {
            ok = false;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool readShopArguments(const QStringList& arguments, const QString& usage, QString* folder,
                       const QList<Option>& options)
{
    if (!readArguments(arguments, folder, options)) {
        out() << "usage: " << usage << "\n";
        return false;
    }
    if (folder->isEmpty() || !QFileInfo::exists(QDir(*folder).filePath(QStringLiteral("pos.mdb")))) {
        out() << "usage: " << usage << "  (FOLDER holds a pos.mdb from make_shop)\n";
        return false;
    }
    *folder = QDir(*folder).absolutePath();
    return true;
}

bool Shop::open(const QString& program, const QString& folder, bool writes)
{
    const QString shop = QDir(folder).absolutePath();
    const auto failed = [&](const QString& why) {
        out() << program << ": " << why << "\n";
        return false;
    };
    if (writes) {
        m_lock = std::make_unique<ShopLock>(shop);
        if (!m_lock->acquire())
            return failed(m_lock->error());
    }
    qputenv("POS_HOME", QFile::encodeName(shop));
    // As the till starts: the file looked at first, then opened and brought up to this
    // program's version.
    const QString problem = DatabaseCheck::problem(QDir(shop).filePath(QStringLiteral("pos.mdb")));
    if (!problem.isEmpty())
        return failed(problem);
    QElapsedTimer t;
    t.start();
    m_db = std::make_unique<DbConnection>();
    QString error;
    if (!m_db->open() || !Schema::migrate(*m_db, &error))
        return failed(error.isEmpty() ? m_db->lastError() : error);
    m_openMs = elapsedMs(t);
    return true;
}

} // namespace Bench
