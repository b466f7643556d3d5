#include "core/VoucherForm.h"

#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/Ui.h"

const QString VoucherForm::Djbh = QStringLiteral("djbh");
const QString VoucherForm::Czy = QStringLiteral("czy");
const QString VoucherForm::Rq = QStringLiteral("rq");
const QString VoucherForm::Ck = QStringLiteral("ck");
const QString VoucherForm::Zhekou = QStringLiteral("zhekou");
const QString VoucherForm::Spmc = QStringLiteral("spmc");
const QString VoucherForm::Sl = QStringLiteral("sl");
const QString VoucherForm::Hjsl = QStringLiteral("hjsl");
const QString VoucherForm::Hjje = QStringLiteral("hjje");

bool VoucherForm::isPinyinCode(const QString& text)
{
    for (QChar c : text.trimmed()) {
        const bool letter =
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        if (!letter)
            return false;
    }
    return true;
}

// The row id tells two lines of one product apart when one of them is deleted.
VoucherForm::VoucherForm(Ui& ui, const VoucherNumber::Kind& voucher, const QString& lineTable,
                         const QString& productPicker)
    : FormState(ui), m_voucherKind(voucher), m_lineTable(lineTable), m_productPicker(productPicker),
      m_grid(db(), QStringLiteral("select rowid as rid,* from %1 where djbh=:DJBH order by rowid").arg(lineTable))
{
    m_grid.bind(QStringLiteral("DJBH"), QString());
}

VoucherForm::~VoucherForm() = default;

bool VoucherForm::readWarehouses()
{
    Query q(db());
    q.setSql(QStringLiteral("select * from ckinfo"));
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    m_warehouses.clear();
    for (bool more = q.first(); more; more = q.next())
        m_warehouses << q.text(QStringLiteral("ckmc"));
    return true;
}

void VoucherForm::startHeader()
{
    setField(Rq, Clock::todayText());
    setField(Zhekou, QStringLiteral("1"));
    setField(Ck, m_warehouses.value(0));
}

// ---------------------------------------------------------------------------------------------
// The current product

bool VoucherForm::lookupProduct(const QString& column, const QString& code, bool anyCase, bool* found)
{
    Query q(db());
    const QString param = column.toUpper();
    if (anyCase)
        q.add(
            QStringLiteral("select * from spinfo where %1=:%2 collate nocase order by %1=:%2 desc").arg(column, param));
    else
        q.add(QStringLiteral("select * from spinfo where %1=:%2").arg(column, param));
    q.bind(param, code);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    *found = q.first();
    m_hasProduct = *found;
    m_product = Product();
    if (*found) {
        m_product.spbh = q.text(QStringLiteral("spbh"));
        m_product.spmc = q.text(QStringLiteral("spmc"));
        m_product.spxh = q.text(QStringLiteral("spxh"));
        m_product.spgg = q.text(QStringLiteral("spgg"));
        m_product.splb = q.text(QStringLiteral("splb"));
        m_product.spjl = q.text(QStringLiteral("spjl"));
        m_product.jinjia = q.text(QStringLiteral("jinjia"));
        m_product.sale1 = q.text(QStringLiteral("sale1"));
        m_product.sale2 = q.text(QStringLiteral("sale2"));
    }
    return true;
}

void VoucherForm::forgetProduct()
{
    m_product = Product();
    m_hasProduct = false;
}

void VoucherForm::bindProduct(Query& q) const
{
    q.bind(QStringLiteral("SPBH"), m_product.spbh);
    q.bind(QStringLiteral("SPMC"), m_product.spmc);
    q.bind(QStringLiteral("SPXH"), m_product.spxh);
    q.bind(QStringLiteral("SPGG"), m_product.spgg);
    q.bind(QStringLiteral("SPLB"), m_product.splb);
    q.bind(QStringLiteral("SPJL"), m_product.spjl);
}

void VoucherForm::pickProduct()
{
    if (refused())
        return;
    const QStringList answers = pickInto(m_productPicker, Spmc);
    bool found = false;
    if (!lookupProduct(QStringLiteral("spbh"), answers.value(0), false, &found))
        return;
    focus(Sl);
}

// ---------------------------------------------------------------------------------------------
// Lines and totals

bool VoucherForm::reloadGrid()
{
    m_grid.bind(QStringLiteral("DJBH"), text(Djbh));
    if (!m_grid.reload()) {
        m_gridLoaded = false;
        dbError(m_grid.lastError());
        return false;
    }
    m_gridLoaded = true;
    m_currentLine = qBound(0, m_currentLine, qMax(0, m_grid.count() - 1));
    return true;
}

bool VoucherForm::reloadTotals()
{
    Query q(db());
    q.add(QStringLiteral("select sum(sl) as sl,sum(jine) as jine from  %1 where djbh=:DJBH").arg(m_lineTable));
    q.bind(QStringLiteral("DJBH"), text(Djbh));
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    setField(Hjsl, q.text(QStringLiteral("sl")));
    setField(Hjje, q.text(QStringLiteral("jine")));
    return true;
}

void VoucherForm::unloadGrid()
{
    m_grid.clear();
    m_gridLoaded = false;
    m_currentLine = 0;
}

bool VoucherForm::lineCount(const QString& number, int* count)
{
    Query q(db());
    q.add(QStringLiteral("select count(*) as n from %1 where djbh=:DJBH").arg(m_lineTable));
    q.bind(QStringLiteral("DJBH"), number);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    *count = q.integer(QStringLiteral("n"));
    return true;
}

void VoucherForm::showLeftoverLines(bool* found)
{
    int count = 0;
    if (!lineCount(text(Djbh), &count))
        return;
    if (found)
        *found = count > 0;
    if (count > 0) {
        if (reloadGrid())
            reloadTotals();
    } else {
        unloadGrid();
    }
}
