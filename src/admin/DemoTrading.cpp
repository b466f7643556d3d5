#include "admin/DemoTrading.h"

#include "accounts/Journal.h"
#include "accounts/Settlement.h"
#include "accounts/SettlementKind.h"
#include "accounts/ShiftHandover.h"
#include "admin/SystemSettings.h"
#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/SilentUi.h"
#include "core/TextUtil.h"
#include "sales/Checkout.h"
#include "sales/SaleKind.h"
#include "sales/SalesVoucher.h"
#include "stock/GoodsKind.h"
#include "stock/GoodsVoucher.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cmath>

namespace DemoTrading {

namespace {

const QString kLiquor = QStringLiteral("5004");  // 泸州老窖: too dear for the neighbourhood
const QString kShampoo = QStringLiteral("4006"); // 海飞丝洗发水: part of it goes back
const QString kYoghurt = QStringLiteral("1006"); // 伊利酸奶: a few past their date are written off
constexpr double kFloat = 200;
constexpr double kReturned = 8;
constexpr double kScrapped = 4;
// A product that starts without stock is ordered up to this.
constexpr double kFirstOrder = 20;

// Splitmix64: the same numbers on every machine and with every library, so the same days give
// the same shop.
class Dice {
public:
    explicit Dice(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 … n - 1
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    // True `percent` times in a hundred.
    bool chance(int percent) { return below(100) < percent; }

private:
    quint64 m_state;
};

struct Product {
    QString spbh, spmc, barcode, supplier;
    double retail = 0;
    double target = 0; // the shelf the Monday order fills up to
    double weight = 0; // how often customers take it
    bool slow = false;
    int every = 1;         // a slow seller goes one at a time, every so many days
    bool byWeight = false; // sold by the 斤, weighed at the till
};

struct Line {
    int product = 0;
    double quantity = 0;
};

struct User {
    QString number, name;
};

double categoryShare(const QString& category)
{
    if (category == QStringLiteral("饮料"))
        return 1.4;
    if (category == QStringLiteral("粮油") || category == QStringLiteral("日用品"))
        return 0.6;
    return 1.0;
}

QString quantityText(double q)
{
    return TextUtil::shortestNumber(TextUtil::roundTo(q, 2));
}

class Trader {
public:
    bool run(int days);
    QString error() const { return m_error; }

private:
    bool load();
    bool tradeDay(int index, int days);
    void at(int hour, int minute, int second = 0);
    void as(const User& user) { LoginUser::set(user.number, user.name); }
    // The step failed: its day, its name and what the program said.
    bool failed(const QString& step);
    // The step's outcome: true only when it succeeded and nothing went to the error box.
    bool done(bool ok, const QString& step) { return ok && m_ui.errors.isEmpty() ? true : failed(step); }
    bool readStock(QHash<QString, double>* stock);

    bool switchTill(bool quiet);
    bool goodsVoucher(const GoodsKind& kind, const QString& supplier, const QList<Line>& lines, const QString& step);
    bool receiveGoods();
    bool takeOut(const GoodsKind& kind, const QString& spbh, double most);
    void paceSlowSellers(int days);
    bool sell(int dayIndex);
    QList<Line> basket(QHash<QString, double>& stock);
    bool ring(SalesVoucher& sale, const QList<Line>& lines, bool member, bool byPhone, const QString& step);
    QString tendered(double due);
    bool cashBox(bool morning);
    bool settle(const SettlementKind& kind, const QDate& upTo);

    SilentUi m_ui;
    DbConnection m_db;
    Dice m_dice{20240301};
    QList<Product> m_products;
    QStringList m_suppliers;
    QString m_card, m_phone;
    User m_owner, m_cashier;
    QList<bool> m_switches;
    QDate m_first, m_day;
    QString m_error;
};

void Trader::at(int hour, int minute, int second)
{
    Clock::setFixed(QDateTime(m_day, QTime(hour, minute, second)));
}

bool Trader::failed(const QString& step)
{
    QString reason = m_ui.errors.value(0, m_ui.lastText());
    if (reason.isEmpty())
        reason = QStringLiteral("原因不明");
    m_error = QStringLiteral("%1 %2没有完成：%3").arg(m_day.toString(QStringLiteral("yyyy-MM-dd")), step, reason);
    return false;
}

bool Trader::readStock(QHash<QString, double>* stock)
{
    Query q(m_db);
    q.setSql(QStringLiteral("select spbh,sl from kucun"));
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return false;
    }
    stock->clear();
    for (bool more = q.first(); more; more = q.next())
        stock->insert(q.text(QStringLiteral("spbh")), q.number(QStringLiteral("sl")));
    return true;
}

// What the shop is: its products with their suppliers, the member, the owner and the cashier.
bool Trader::load()
{
    m_day = Clock::today();
    if (!m_db.open())
        return failed(QStringLiteral("打开数据库"));
    const QString step = QStringLiteral("读取演示商店");
    Query q(m_db);
    q.setSql(QStringLiteral("select gysmc from gysxx order by gysbh"));
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return failed(step);
    }
    for (bool more = q.first(); more; more = q.next())
        m_suppliers << q.text(QStringLiteral("gysmc"));

    q.setSql(QStringLiteral("select a.spbh,a.spmc,a.tiaoma,a.splb,a.spjl,a.sale1,a.beizhu,a.kucun1,b.sl from spinfo a "
                            "left join kucun b on a.spbh=b.spbh order by a.spbh"));
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return failed(step);
    }
    for (bool more = q.first(); more; more = q.next()) {
        Product p;
        p.spbh = q.text(QStringLiteral("spbh"));
        p.spmc = q.text(QStringLiteral("spmc"));
        p.barcode = q.text(QStringLiteral("tiaoma"));
        p.supplier = q.text(QStringLiteral("beizhu"));
        if (!m_suppliers.contains(p.supplier))
            p.supplier = m_suppliers.value(0);
        p.retail = q.number(QStringLiteral("sale1"));
        p.byWeight = q.text(QStringLiteral("spjl")) == QStringLiteral("斤");
        p.slow = p.spbh == kLiquor || p.spbh == kShampoo;
        // Cheap everyday goods go many times a day, a sack of rice now and then; drinks and
        // snacks are bought more often than salt or soap.
        p.weight = 10.0 / (1.0 + p.retail / 3.0) * categoryShare(q.text(QStringLiteral("splb")));
        // The shelf as the shop was stocked, kept clear of the overstock alert.
        const double upper = q.number(QStringLiteral("kucun1"));
        p.target = q.number(QStringLiteral("sl")) > 0 ? q.number(QStringLiteral("sl")) : kFirstOrder;
        if (upper > 0)
            p.target = std::min(p.target, std::floor(upper * 0.9));
        if (p.retail > 0 && !p.barcode.isEmpty())
            m_products << p;
    }
    const QStringList needed{kLiquor, kShampoo, kYoghurt};
    for (const QString& spbh : needed) {
        const bool found =
            std::any_of(m_products.cbegin(), m_products.cend(), [&](const Product& p) { return p.spbh == spbh; });
        if (!found || m_suppliers.isEmpty()) {
            m_ui.showMessage(QStringLiteral("这不是演示商店：缺少商品%1或供应商，请用 --demo 建立").arg(spbh));
            return failed(step);
        }
    }

    q.setSql(QStringLiteral("select hykh,sjhao from hyinfo order by hykh limit 1"));
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return failed(step);
    }
    m_card = q.text(QStringLiteral("hykh"));
    m_phone = q.text(QStringLiteral("sjhao"));

    q.setSql(QStringLiteral("select yhbh,yhmc,admin from userlogin order by yhbh"));
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return failed(step);
    }
    for (bool more = q.first(); more; more = q.next()) {
        const User u{q.text(QStringLiteral("yhbh")), q.text(QStringLiteral("yhmc"))};
        if (q.integer(QStringLiteral("admin")) == 1 && m_owner.number.isEmpty())
            m_owner = u;
        else if (q.integer(QStringLiteral("admin")) != 1 && m_cashier.number.isEmpty())
            m_cashier = u;
    }
    if (m_cashier.number.isEmpty())
        m_cashier = m_owner;
    return true;
}

// The drawer and the spoken amount stay silent while the days are entered, and come back as
// the shop had them.
bool Trader::switchTill(bool quiet)
{
    const QString step = QStringLiteral("设置钱箱和语音");
    SystemSettings::Values values;
    if (!SystemSettings::load(m_db, m_ui, &values))
        return failed(step);
    QList<bool> on = values.on;
    if (quiet) {
        m_switches = values.on;
        const QList<SystemSettings::Switch>& switches = SystemSettings::switches();
        for (int i = 0; i < switches.size() && i < on.size(); ++i) {
            if (switches.at(i).column == QStringLiteral("qx") || switches.at(i).column == QStringLiteral("qt1"))
                on[i] = false;
        }
    } else {
        on = m_switches;
    }
    return done(SystemSettings::saveSwitches(m_db, m_ui, on), step);
}

bool Trader::run(int days)
{
    if (!load())
        return false;
    const QDate today = m_day;
    m_first = today.addDays(-days);
    paceSlowSellers(days);
    if (!switchTill(true))
        return false;
    bool traded = true;
    for (int i = 0; i < days && traded; ++i) {
        m_day = m_first.addDays(i);
        traded = tradeDay(i, days);
    }
    // The switches come back also after a failed day; its reason is the one told.
    m_day = today;
    const QString reason = m_error;
    const bool restored = switchTill(false);
    if (!traded)
        m_error = reason;
    return traded && restored;
}

bool Trader::tradeDay(int index, int days)
{
    // A return soon after the start, the supplier's refund two days later, a write-off in the
    // middle; on a short history they move forward so each still happens once.
    const int returnDay = std::min(1, days - 1);
    const int refundDay = std::min(3, days - 1);
    const int scrapDay = days / 2;

    // Monday: the suppliers deliver, and are paid for what they brought before.
    if (m_day.dayOfWeek() == Qt::Monday) {
        if (!receiveGoods())
            return false;
        at(7, 45);
        if (!settle(SettlementKind::payables(), m_day.addDays(-1)))
            return false;
    }
    if (index == 0 && !cashBox(true))
        return false;
    // A few yoghurts past their date are written off before the shop opens.
    if (index == scrapDay) {
        at(7, 55);
        if (!takeOut(GoodsKind::scrap(), kYoghurt, kScrapped))
            return false;
    }
    // The shampoo sells too slowly: part of it goes back with the driver, and the supplier
    // refunds it.
    if (index == returnDay) {
        at(7, 56);
        if (!takeOut(GoodsKind::supplierReturn(), kShampoo, kReturned))
            return false;
    }
    if (!sell(index))
        return false;
    if (!cashBox(false))
        return false;
    if (index == refundDay) {
        at(21, 20);
        return settle(SettlementKind::receivables(), m_day);
    }
    return true;
}

bool Trader::goodsVoucher(const GoodsKind& kind, const QString& supplier, const QList<Line>& lines, const QString& step)
{
    m_ui.clear();
    as(m_owner);
    GoodsVoucher voucher(kind, m_ui);
    if (!voucher.create())
        return failed(step);
    voucher.newVoucher();
    if (!voucher.voucherOpen())
        return failed(step);
    if (kind.hasSupplier)
        voucher.setText(GoodsVoucher::Gys, supplier);
    for (const Line& line : lines) {
        voucher.setText(GoodsVoucher::Spmc, m_products.at(line.product).spbh);
        if (!voucher.enterProductCode())
            return failed(step);
        voucher.setText(GoodsVoucher::Sl, quantityText(line.quantity));
        voucher.enterQuantity();
        if (!voucher.addLine())
            return failed(step);
    }
    return done(voucher.saveVoucher(), step);
}

// Monday mornings each supplier fills up what the week sold, in whole cartons, to the shelf the
// shop keeps. The slow sellers are not ordered again.
bool Trader::receiveGoods()
{
    QHash<QString, double> stock;
    if (!readStock(&stock))
        return failed(QStringLiteral("读取库存"));
    for (int s = 0; s < m_suppliers.size(); ++s) {
        QList<Line> lines;
        for (int i = 0; i < m_products.size(); ++i) {
            const Product& p = m_products.at(i);
            const double missing = p.target - stock.value(p.spbh);
            if (p.slow || p.supplier != m_suppliers.at(s) || missing < 1)
                continue;
            const double carton = p.target >= 100 ? 12 : p.target >= 40 ? 6 : 1;
            lines << Line{i, std::ceil(missing / carton) * carton};
        }
        if (lines.isEmpty())
            continue;
        at(7, 30 + 10 * s);
        if (!goodsVoucher(GoodsKind::stockIn(), m_suppliers.at(s), lines, QStringLiteral("商品入库")))
            return false;
    }
    return true;
}

// One product on a voucher of its own: as much as is on the shelf, up to `most`.
bool Trader::takeOut(const GoodsKind& kind, const QString& spbh, double most)
{
    QHash<QString, double> stock;
    if (!readStock(&stock))
        return failed(QStringLiteral("读取库存"));
    for (int i = 0; i < m_products.size(); ++i) {
        const Product& p = m_products.at(i);
        const double quantity = std::min(most, std::floor(stock.value(p.spbh)));
        if (p.spbh == spbh && quantity > 0)
            return goodsVoucher(kind, kind.hasSupplier ? p.supplier : QString(), {Line{i, quantity}},
                                kind.screenCaption);
    }
    return true;
}

// The slow sellers go one at a time, spaced so that their stock (the shampoo's less what goes
// back) lasts about two thirds of the days: then they stand sold out in the stock alerts.
void Trader::paceSlowSellers(int days)
{
    for (Product& p : m_products) {
        const double pieces = p.target - (p.spbh == kShampoo ? kReturned : 0);
        if (p.slow)
            p.every = std::max(1, int(days * 2 / 3 / std::max(1.0, pieces)));
    }
}

// One to five products that are on the shelf; cheap ones often by two or three, eggs weighed.
QList<Line> Trader::basket(QHash<QString, double>& stock)
{
    static const int kSizes[] = {1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 5, 5};
    const int wanted = kSizes[m_dice.below(int(std::size(kSizes)))];
    QList<Line> lines;
    QList<int> taken;
    for (int n = 0; n < wanted; ++n) {
        double total = 0;
        for (int i = 0; i < m_products.size(); ++i) {
            if (!m_products.at(i).slow && !taken.contains(i) && stock.value(m_products.at(i).spbh) >= 1)
                total += m_products.at(i).weight;
        }
        if (total <= 0)
            break;
        double roll = double(m_dice.below(1000000)) / 1000000.0 * total;
        int chosen = -1;
        for (int i = 0; i < m_products.size() && chosen < 0; ++i) {
            if (m_products.at(i).slow || taken.contains(i) || stock.value(m_products.at(i).spbh) < 1)
                continue;
            roll -= m_products.at(i).weight;
            if (roll < 0)
                chosen = i;
        }
        if (chosen < 0)
            break;
        const Product& p = m_products.at(chosen);
        const double have = stock.value(p.spbh);
        double quantity = 1;
        if (p.byWeight)
            quantity = m_dice.between(8, 30) / 10.0;
        else if (p.retail < 5)
            quantity = m_dice.chance(55) ? 1 : m_dice.chance(70) ? 2 : 3;
        else if (p.retail < 15 && m_dice.chance(15))
            quantity = 2;
        quantity = std::min(quantity, p.byWeight ? have : std::floor(have));
        taken << chosen;
        stock[p.spbh] = have - quantity;
        lines << Line{chosen, quantity};
    }
    return lines;
}

// A customer's money: the exact amount now and then, otherwise the next note or the one above.
QString Trader::tendered(double due)
{
    const double exact = TextUtil::roundTo(due, 2);
    if (m_dice.chance(15))
        return TextUtil::money(exact);
    QList<double> offers;
    for (double note : {1.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
        const double paid = std::ceil(exact / note - 1e-9) * note;
        if (!offers.contains(paid))
            offers << paid;
    }
    const int pick = m_dice.chance(25) ? 0 : m_dice.chance(60) ? 1 : 2;
    return TextUtil::shortestNumber(offers.at(std::min(pick, int(offers.size()) - 1)));
}

// The cashier rings one customer up: the member's card or mobile number first, then each
// product scanned (once for every piece), or picked and its quantity typed (several pieces, or
// eggs off the scales), and the checkout with the money the customer hands over.
bool Trader::ring(SalesVoucher& sale, const QList<Line>& lines, bool member, bool byPhone, const QString& step)
{
    if (member) {
        m_ui.promptAnswers << (byPhone ? m_phone : m_card);
        sale.findMember();
        if (sale.memberCard().isEmpty())
            return failed(step);
    }
    for (const Line& line : lines) {
        const Product& p = m_products.at(line.product);
        const bool whole = line.quantity == std::floor(line.quantity);
        // Typing a quantity charges the retail price, so a member's goods are scanned.
        if (whole && (member || line.quantity == 1 || m_dice.chance(50))) {
            for (int n = 0; n < int(line.quantity); ++n) {
                sale.setText(SalesVoucher::Spmc, p.barcode);
                if (!sale.enterProductCode())
                    return failed(step);
            }
        } else {
            m_ui.pickAnswers << QStringList{p.spbh, p.spmc};
            sale.pickProduct();
            sale.setText(SalesVoucher::Sl, quantityText(line.quantity));
            sale.enterQuantity();
            if (!sale.addPickedProduct())
                return failed(step);
        }
    }
    const CheckoutRunner checkout = [&](const SaleHandover& handover) {
        Checkout pay(SaleKind::sale(), handover, m_ui);
        if (!pay.create())
            return CheckoutAnswer();
        double due = 0;
        TextUtil::toNumber(handover.total, &due);
        pay.setText(Checkout::Sk, tendered(due));
        pay.computeChange();
        pay.postSale();
        return pay.answer();
    };
    return done(sale.startCheckout(checkout), step);
}

// A day at the till: more customers at the weekend, the member every other day, and now and
// then one of the slow sellers.
bool Trader::sell(int dayIndex)
{
    const bool weekend = m_day.dayOfWeek() >= Qt::Saturday;
    const int customers = weekend ? m_dice.between(11, 15) : m_dice.between(8, 13);
    QList<int> minutes;
    while (minutes.size() < customers) {
        const int minute = m_dice.between(8 * 60, 20 * 60 + 45);
        if (!minutes.contains(minute))
            minutes << minute;
    }
    std::sort(minutes.begin(), minutes.end());
    const int memberAt = dayIndex % 2 == 0 ? m_dice.below(customers) : -1;
    QHash<int, int> slowAt; // product -> customer
    for (int i = 0; i < m_products.size(); ++i) {
        const Product& p = m_products.at(i);
        if (p.slow && dayIndex % p.every == (p.spbh == kLiquor ? 0 : p.every / 2))
            slowAt.insert(i, m_dice.below(customers));
    }

    at(7, 58);
    as(m_cashier);
    m_ui.clear();
    SalesVoucher sale(SaleKind::sale(), m_ui);
    if (!sale.create())
        return failed(QStringLiteral("打开商品销售"));
    for (int c = 0; c < customers; ++c) {
        at(minutes.at(c) / 60, minutes.at(c) % 60, m_dice.below(60));
        m_ui.clear();
        QHash<QString, double> stock;
        if (!readStock(&stock))
            return failed(QStringLiteral("读取库存"));
        QList<Line> lines = basket(stock);
        for (auto it = slowAt.cbegin(); it != slowAt.cend(); ++it) {
            if (it.value() == c && stock.value(m_products.at(it.key()).spbh) >= 1)
                lines << Line{it.key(), 1};
        }
        if (lines.isEmpty())
            continue;
        if (!ring(sale, lines, c == memberAt, dayIndex % 4 == 2, QStringLiteral("第%1位顾客的销售").arg(c + 1)))
            return false;
    }
    return true;
}

// The cash box: the first morning the cashier puts change into it; each evening the takings go
// to the cash journal and the change stays in the box.
bool Trader::cashBox(bool morning)
{
    at(morning ? 7 : 21, morning ? 50 : 5);
    as(m_cashier);
    m_ui.clear();
    const QString step = morning ? QStringLiteral("放入备用金") : QStringLiteral("交班");
    ShiftHandover box(m_ui);
    if (!box.create())
        return failed(step);
    if (morning) {
        box.toggleAdjustment();
        box.setText(ShiftHandover::Tzje, TextUtil::shortestNumber(kFloat));
        box.setText(ShiftHandover::Tzyy, QStringLiteral("备用零钱"));
        return done(box.adjust(), step);
    }
    double inBox = 0;
    TextUtil::toNumber(box.text(ShiftHandover::Boxje), &inBox);
    const double takings = TextUtil::roundTo(inBox - kFloat, 2);
    if (takings <= 0)
        return true;
    box.setText(ShiftHandover::Jbje, TextUtil::shortestNumber(takings));
    if (!box.computeBalance())
        return failed(step);
    return done(box.handOver(), step);
}

// The owner settles the open vouchers up to a day, oldest first, each in full. Supplier refunds
// are collected; suppliers are paid out of what the cash journal holds, as long as it holds
// enough for the next voucher.
bool Trader::settle(const SettlementKind& kind, const QDate& upTo)
{
    const bool asTakingsAllow = &kind == &SettlementKind::payables();
    as(m_owner);
    m_ui.clear();
    const QString step = kind.screenCaption;
    Settlement screen(kind, m_ui);
    if (!screen.create())
        return failed(step);
    screen.setText(Settlement::Rq1, m_first.toString(QStringLiteral("yyyy-MM-dd")));
    screen.setText(Settlement::Rq2, upTo.toString(QStringLiteral("yyyy-MM-dd")));
    screen.setText(Settlement::Lx, kind.openStatus);
    if (!screen.search())
        return failed(step);
    double cash = 0;
    if (asTakingsAllow) {
        QString error;
        if (!Journal::previousBalance(m_db, &cash, &error)) {
            m_ui.showError(error);
            return failed(step);
        }
    }
    // Settling searches again: the voucher settled leaves the list of open ones.
    for (int left = screen.vouchers().count(); left > 0 && screen.currentRow() >= 0; --left) {
        const double owed = Query::variantNumber(screen.vouchers().value(screen.currentRow(), QStringLiteral("qkje")));
        if (asTakingsAllow && owed > cash)
            break;
        screen.setText(Settlement::Fkje, TextUtil::shortestNumber(owed));
        if (!done(screen.settle(), step))
            return false;
        cash -= owed;
    }
    return true;
}

} // namespace

double cashFloat()
{
    return kFloat;
}

QStringList slowSellers()
{
    return {kLiquor, kShampoo};
}

bool run(int days, QString* error)
{
    if (days < 1 || days > kMaxDays) {
        if (error)
            *error = QStringLiteral("营业天数“%1”不正确，应为1到%2之间的整数").arg(days).arg(kMaxDays);
        return false;
    }
    // Put back afterwards whatever happens: the clock, the user, the receipt device.
    const QDateTime clock = Clock::fixedMoment();
    const QString number = LoginUser::number();
    const QString name = LoginUser::name();
    const bool hadDevice = qEnvironmentVariableIsSet("POS_RECEIPT_DEVICE");
    const QByteArray device = qgetenv("POS_RECEIPT_DEVICE");
    qputenv("POS_RECEIPT_DEVICE", "/dev/null");

    // Thousands of commits into a shop that is thrown away if anything fails: none of them waits
    // for the disk, and the whole shop is written safely once at the end.
    const bool waited = DbConnection::commitsWaitForDisk();
    DbConnection::setCommitsWaitForDisk(false);
    bool ok = false;
    QString reason;
    {
        Trader trader;
        ok = trader.run(days);
        reason = trader.error();
    }
    DbConnection::setCommitsWaitForDisk(waited);
    if (ok) {
        DbConnection db;
        ok = db.open() && db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        if (!ok)
            reason = db.lastError();
        db.close();
    }

    if (hadDevice)
        qputenv("POS_RECEIPT_DEVICE", device);
    else
        qunsetenv("POS_RECEIPT_DEVICE");
    if (number.isEmpty())
        LoginUser::reset();
    else
        LoginUser::set(number, name);
    Clock::setFixed(clock);
    if (!ok && error)
        *error = reason;
    return ok;
}

} // namespace DemoTrading
