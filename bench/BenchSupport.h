#pragma once

// What every benchmark shares: its output, the clocks and the figures of a series of runs, a Ui
// that answers without a person, the command line, and opening the shop as the till does.

#include "core/DbConnection.h"
#include "core/ShopLock.h"
#include "core/Ui.h"

#include <QElapsedTimer>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

namespace Bench {

QTextStream& out();

// Wall-clock time since `t` started, in ms.
double elapsedMs(const QElapsedTimer& t);
// Processor time of the process so far, in ms. Every commit waits until the file is safely on
// the disk and a shared machine makes a program wait for a processor; the processor time is the
// work without those waits.
double cpuMs();

// The times of one kind of run, in ms.
struct Stats {
    QList<double> ms;

    // The time at `fraction` of the sorted times: 0.5 the median, 0.9, 1.0 the slowest.
    double at(double fraction) const;
    double median() const { return at(0.5); }
    double max() const { return at(1.0); }
    // "name: median … ms, 90% … ms, max … ms (N runs<note>)" with `decimals` digits.
    QString line(const QString& name, int decimals = 3, const QString& note = QString()) const;
};

// The wall-clock and processor times of one kind of run.
struct Timing {
    Stats wall;
    Stats cpu;

    void time(const std::function<void()>& run);
    // "name (N runs<note>):" and a line each for the wall-clock and the processor figures.
    QString lines(const QString& name, const QString& note = QString()) const;
};

// Answers for the screens: whatever they show is kept in `shown` (for most benchmarks anything
// shown is an error), questions get `confirmAnswer`, a prompt takes the next queued answer ("~"
// when none is queued), pickers are closed, and there is nothing to preview or print.
class BenchUi : public Ui {
public:
    QStringList shown;
    QQueue<QString> answers;
    bool confirmAnswer = true;

    void showMessage(const QString& text) override;
    void messageBox(const QString& title, const QString& text, Icon icon) override;
    void showError(const QString& text) override;
    bool confirm(const QString& title, const QString& text, Icon icon) override;
    void prompt(const PromptSpec& spec, QString& answer) override;
    void pick(const PickerSpec& spec, QStringList& answers) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix) override;
    QString openFileName(const QString& title, const QString& filter) override;
    void showPrintPreview(const QString& title, const QString& setupTitle, bool maximised, const QPageLayout& layout,
                          const std::function<void(QPagedPaintDevice*)>& paint) override;
    PrintOutcome printDirect(const QString& docName, const std::function<QString(QPagedPaintDevice*)>& paint,
                             QString* error) override;
};

// A whole number given after its option on the command line, and the least it may be.
struct Option {
    QString name; // "--runs"
    int* value;
    int least;
};

// Reads "FOLDER [--option N]…": the folder (the first argument that is not an option) and the
// options. False for anything else, a number that is not one, or one below its least.
bool readArguments(const QStringList& arguments, QString* folder, const QList<Option>& options);
// The same for a benchmark on a shop made by make_shop: false, with "usage: <usage>" printed,
// when the command line is wrong or FOLDER holds no pos.mdb. The folder comes back absolute.
bool readShopArguments(const QStringList& arguments, const QString& usage, QString* folder,
                       const QList<Option>& options);

// The shop as the till opens it. POS_HOME names the folder; a benchmark that writes takes the
// shop's lock first (it never runs beside a till, and a till does not start beside it); the
// database file is looked at before it is opened and then brought up to this program's version.
class Shop {
public:
    // False, with "<program>: <reason>" printed, when the shop cannot be opened.
    bool open(const QString& program, const QString& folder, bool writes);

    DbConnection& db() { return *m_db; }
    // How long opening and bringing the file up to date took, in ms.
    double openMs() const { return m_openMs; }

private:
    std::unique_ptr<ShopLock> m_lock;
    std::unique_ptr<DbConnection> m_db;
    double m_openMs = 0;
};

} // namespace Bench
