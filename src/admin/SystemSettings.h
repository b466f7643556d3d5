#pragma once

#include "core/FormState.h"

#include <QList>
#include <QString>

class DbConnection;
class Ui;

// The one xtsz row: the shop's name, address and telephone printed on receipts, and the six
// switches that change how selling works.
namespace SystemSettings {

struct Company {
    QString gsmc; // 公司名称
    QString gsdz; // 公司地址
    QString gsdh; // 公司电话
};

// A switch: its check box, the column it is stored in and its caption.
struct Switch {
    QString box;    // "prnt3"
    QString column; // "qx"
    QString caption;
};
// prnt1 … prnt6 in the order of the page.
const QList<Switch>& switches();

// A company field: its entry, caption and the length of its column.
struct Field {
    QString name; // "gsmc" (entry and column)
    QString caption;
    int length = 0;
};
const QList<Field>& companyFields();

struct Values {
    Company company;
    QList<bool> on; // one per switch, ticked when its column holds 1
};

// Reads the row (an empty table reads as empty fields and cleared boxes). False, with the error
// shown, when the table cannot be read.
bool load(DbConnection& db, Ui& ui, Values* values);

// 存盘 on "公司信息": the three fields, checked against their columns' lengths; "保存成功".
bool saveCompany(DbConnection& db, Ui& ui, const Company& company);
// 存盘 on "版本功能": all six switches together; "保存成功".
bool saveSwitches(DbConnection& db, Ui& ui, const QList<bool>& on);

} // namespace SystemSettings

// The settings dialog Txtsz_form: the page "公司信息" with three entries and its 存盘, the page
// "版本功能" with the six boxes (texts "1" ticked, "0" cleared) and its 存盘. Each page saves on
// its own.
class SettingsForm : public FormState {
public:
    static const QString SaveCompany;  // 存盘 on "公司信息"
    static const QString SaveSwitches; // 存盘 on "版本功能"

    explicit SettingsForm(Ui& ui);

    // Opens the connection and shows what is stored.
    bool create();
    bool saveCompany();
    bool saveSwitches();
    // Enter on the company page's 存盘 presses it.
    void enterPressed(const QString& field) override;
};
