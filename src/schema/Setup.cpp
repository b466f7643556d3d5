#include "schema/Setup.h"

#include "core/DbConnection.h"
#include "schema/Schema.h"

#include <QFile>
#include <QFileInfo>

namespace Setup {

QString adminNumber()
{
    return QStringLiteral("001");
}

QString adminPassword()
{
    return QStringLiteral("123");
}

int ean13CheckDigit(const QString& twelveDigits)
{
    int sum = 0;
    for (int i = 0; i < 12 && i < twelveDigits.size(); ++i) {
        const int d = twelveDigits[i].digitValue();
        sum += (i % 2 == 0) ? d : 3 * d;
    }
    return (10 - sum % 10) % 10;
}

namespace {

bool run(Query& q, const QString& sql, const QVariantMap& params, QString* error)
{
    q.close();
    q.clear();
    q.add(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    if (!q.execute()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    return true;
}

bool requiredRows(DbConnection& db, const Options& options, QString* error)
{
    Query q(db);
    return run(q,
               QStringLiteral("insert into xtsz(gsmc,gsdz,gsdh,prnt1,prnt2,qx,ku,jia,qt1,qt2,qt3) "
                              "values(:GSMC,:GSDZ,:GSDH,1,0,1,0,0,1,0,0)"),
               {{QStringLiteral("GSMC"), options.shopName},
                {QStringLiteral("GSDZ"), QStringLiteral("翠湖路1号")},
                {QStringLiteral("GSDH"), QStringLiteral("0871-65550000")}},
               error) &&
           run(q, QStringLiteral("insert into boxje(je) values(0)"), {}, error) &&
           run(q, QStringLiteral("insert into jfjs(js) values(1)"), {}, error) &&
           run(q, QStringLiteral("insert into userlogin(yhbh,yhmc,yhma,admin) values(:YHBH,:YHMC,:YHMA,1)"),
               {{QStringLiteral("YHBH"), adminNumber()},
                {QStringLiteral("YHMC"), QStringLiteral("系统管理员")},
                {QStringLiteral("YHMA"), adminPassword()}},
               error) &&
           run(q, QStringLiteral("insert into usermenu(yhbh,m1,m2,m3,m4,m5,m6,m7) values(:YHBH,1,1,1,1,1,1,1)"),
               {{QStringLiteral("YHBH"), adminNumber()}}, error);
}

struct DemoProduct {
    const char* spbh;
    const char* spmc;
    const char* spgg;
    const char* splb;
    const char* spjl;
    double jinjia;
    double sale1;
    double sale2;
    const char* pinma;
    const char* barcode12; // the check digit is added
    double stock;
    const char* changjia;
};

// A neighbourhood shop's everyday goods.
const DemoProduct kProducts[] = {
    {"1001", "可口可乐", "330ml", "饮料", "瓶", 1.60, 2.50, 2.30, "KKKL", "690000100100", 120, "可口可乐饮料有限公司"},
    {"1002", "百事可乐", "330ml", "饮料", "瓶", 1.55, 2.50, 2.30, "BSKL", "690000100200", 96, "百事饮料有限公司"},
    {"1003", "农夫山泉矿泉水", "550ml", "饮料", "瓶", 0.95, 2.00, 1.80, "NFSQ", "690000100300", 240, "农夫山泉股份有限公司"},
    {"1004", "康师傅冰红茶", "500ml", "饮料", "瓶", 1.90, 3.00, 2.80, "KSFBHC", "690000100400", 80, "康师傅饮品有限公司"},
    {"1005", "蒙牛纯牛奶", "250ml", "饮料", "盒", 2.10, 3.50, 3.20, "MNCNN", "690000100500", 144, "蒙牛乳业有限公司"},
    {"1006", "伊利酸奶", "200g", "饮料", "盒", 2.60, 4.00, 3.80, "YLSN", "690000100600", 60, "伊利实业集团"},
    {"1007", "王老吉凉茶", "310ml", "饮料", "罐", 2.80, 4.50, 4.20, "WLJ", "690000100700", 72, "王老吉大健康产业"},
    {"2001", "康师傅红烧牛肉面", "105g", "食品", "袋", 2.30, 3.50, 3.30, "KSFHSNRM", "690000200100", 150, "康师傅控股有限公司"},
    {"2002", "统一老坛酸菜面", "121g", "食品", "袋", 2.40, 3.50, 3.30, "TYLTSCM", "690000200200", 130, "统一企业有限公司"},
    {"2003", "奥利奥饼干", "116g", "食品", "盒", 5.20, 7.90, 7.50, "ALA", "690000200300", 48, "亿滋食品有限公司"},
    {"2004", "乐事薯片原味", "70g", "食品", "袋", 4.80, 7.50, 7.00, "LSSP", "690000200400", 55, "百事食品有限公司"},
    {"2005", "德芙巧克力", "43g", "食品", "条", 5.60, 8.80, 8.50, "DFQKL", "690000200500", 40, "玛氏食品有限公司"},
    {"2006", "旺旺雪饼", "84g", "食品", "袋", 3.90, 5.90, 5.50, "WWXB", "690000200600", 36, "旺旺食品有限公司"},
    {"2007", "双汇火腿肠", "240g", "食品", "袋", 6.50, 9.80, 9.50, "SHHTC", "690000200700", 45, "双汇发展股份有限公司"},
    {"2008", "徐福记沙琪玛", "470g", "食品", "袋", 11.00, 15.80, 15.00, "XFJSQM", "690000200800", 20, "徐福记食品有限公司"},
    {"2009", "鸡蛋", "散装", "食品", "斤", 4.20, 5.80, 5.60, "JD", "690000200900", 50, "本地农场"},
    {"3001", "金龙鱼大米", "5kg", "粮油", "袋", 28.00, 36.90, 35.90, "JLYDM", "690000300100", 30, "益海嘉里食品有限公司"},
    {"3002", "福临门花生油", "5L", "粮油", "桶", 68.00, 89.90, 86.00, "FLMHSY", "690000300200", 18, "中粮福临门食品有限公司"},
    {"3003", "海天生抽", "500ml", "粮油", "瓶", 6.80, 9.90, 9.50, "HTSC", "690000300300", 40, "海天调味食品有限公司"},
    {"3004", "恒顺香醋", "500ml", "粮油", "瓶", 5.20, 7.50, 7.20, "HSXC", "690000300400", 35, "恒顺醋业股份有限公司"},
    {"3005", "中盐精制盐", "400g", "粮油", "袋", 1.50, 2.50, 2.30, "ZYJZY", "690000300500", 90, "中国盐业集团"},
    {"3006", "太太乐鸡精", "200g", "粮油", "袋", 6.20, 8.90, 8.50, "TTLJJ", "690000300600", 25, "太太乐食品有限公司"},
    {"3007", "陈克明挂面", "1kg", "粮油", "袋", 7.80, 10.90, 10.50, "CKMGM", "690000300700", 28, "陈克明食品股份有限公司"},
    {"4001", "清风抽纸", "3包装", "日用品", "提", 8.90, 12.90, 12.50, "QFCZ", "690000400100", 40, "金红叶纸业集团"},
    {"4002", "心相印卷纸", "10卷", "日用品", "提", 16.50, 22.90, 21.90, "XXYJZ", "690000400200", 24, "恒安集团"},
    {"4003", "高露洁牙膏", "140g", "日用品", "支", 7.60, 11.50, 10.90, "GLJYG", "690000400300", 36, "高露洁棕榄有限公司"},
    {"4004", "舒肤佳香皂", "115g", "日用品", "块", 3.80, 5.50, 5.20, "SFJXZ", "690000400400", 50, "宝洁有限公司"},
    {"4005", "立白洗衣粉", "1.6kg", "日用品", "袋", 14.50, 19.90, 18.90, "LBXYF", "690000400500", 22, "立白集团"},
    {"4006", "海飞丝洗发水", "400ml", "日用品", "瓶", 32.00, 45.90, 43.90, "HFSXFS", "690000400600", 15, "宝洁有限公司"},
    {"4007", "南孚电池5号", "4粒", "日用品", "板", 9.50, 13.90, 13.50, "NFDC", "690000400700", 30, "南孚电池有限公司"},
    {"4008", "洗洁精", "1.5kg", "日用品", "瓶", 8.20, 11.90, 11.50, "XJJ", "690000400800", 26, "白猫股份有限公司"},
    {"5001", "青岛啤酒", "500ml", "烟酒", "罐", 3.60, 5.50, 5.20, "QDPJ", "690000500100", 120, "青岛啤酒股份有限公司"},
    {"5002", "雪花啤酒", "500ml", "烟酒", "罐", 2.80, 4.50, 4.20, "XHPJ", "690000500200", 100, "华润雪花啤酒有限公司"},
    {"5003", "红星二锅头", "500ml", "烟酒", "瓶", 12.00, 16.50, 16.00, "HXEGT", "690000500300", 24, "北京红星股份有限公司"},
    {"5004", "泸州老窖", "500ml", "烟酒", "瓶", 98.00, 128.00, 125.00, "LZLJ", "690000500400", 6, "泸州老窖股份有限公司"},
    {"5005", "打火机", "个", "烟酒", "个", 0.50, 1.00, 1.00, "DHJ", "690000500500", 0, "本地批发"},
};

const char* const kCategories[][2] = {{"01", "饮料"}, {"02", "食品"}, {"03", "粮油"}, {"04", "日用品"}, {"05", "烟酒"}};
const char* const kUnits[] = {"瓶", "盒", "罐", "袋", "条", "斤", "桶", "提", "支", "块", "板", "个"};

bool demoRows(DbConnection& db, QString* error)
{
    Query q(db);
    for (const auto& cat : kCategories) {
        if (!run(q, QStringLiteral("insert into splb(lbbh,lbmc) values(:LBBH,:LBMC)"),
                 {{QStringLiteral("LBBH"), QString::fromLatin1(cat[0])}, {QStringLiteral("LBMC"), QString::fromUtf8(cat[1])}},
                 error))
            return false;
    }
    int unitNo = 1;
    for (const char* unit : kUnits) {
        if (!run(q, QStringLiteral("insert into spjl(jlbh,jlmc) values(:JLBH,:JLMC)"),
                 {{QStringLiteral("JLBH"), QString::number(unitNo++).rightJustified(2, QLatin1Char('0'))},
                  {QStringLiteral("JLMC"), QString::fromUtf8(unit)}},
                 error))
            return false;
    }
    const QString supplier1 = QStringLiteral("昆明惠民食品批发部");
    const QString supplier2 = QStringLiteral("云南日化用品配送中心");
    if (!run(q, QStringLiteral("insert into gysxx(gysbh,gysmc) values('001',:M1)"), {{QStringLiteral("M1"), supplier1}}, error) ||
        !run(q, QStringLiteral("insert into gysxx(gysbh,gysmc) values('002',:M2)"), {{QStringLiteral("M2"), supplier2}}, error))
        return false;
    if (!run(q, QStringLiteral("insert into ckinfo(ckbh,ckmc,ckdz,fzr) values('01','主仓库','超市后院','李红')"), {}, error) ||
        !run(q, QStringLiteral("insert into ckinfo(ckbh,ckmc,ckdz,fzr) values('02','门店货架','店内','王强')"), {}, error))
        return false;

    for (const DemoProduct& p : kProducts) {
        const QString code12 = QString::fromLatin1(p.barcode12);
        const QString barcode = code12 + QString::number(ean13CheckDigit(code12));
        const QString cat = QString::fromUtf8(p.splb);
        const bool household = cat == QStringLiteral("日用品");
        QVariantMap v{{QStringLiteral("SPBH"), QString::fromLatin1(p.spbh)},
                      {QStringLiteral("SPMC"), QString::fromUtf8(p.spmc)},
                      {QStringLiteral("SPXH"), QString()},
                      {QStringLiteral("SPGG"), QString::fromUtf8(p.spgg)},
                      {QStringLiteral("SPLB"), cat},
                      {QStringLiteral("SPJL"), QString::fromUtf8(p.spjl)},
                      {QStringLiteral("JINJIA"), p.jinjia},
                      {QStringLiteral("SALE1"), p.sale1},
                      {QStringLiteral("SALE2"), p.sale2},
                      {QStringLiteral("SALE3"), p.sale2},
                      {QStringLiteral("KUCUN1"), 200},
                      {QStringLiteral("KUCUN2"), 10},
                      {QStringLiteral("CHANGJIA"), QString::fromUtf8(p.changjia)},
                      {QStringLiteral("PINMA"), QString::fromLatin1(p.pinma)},
                      {QStringLiteral("TIAOMA"), barcode},
                      {QStringLiteral("BEIZHU"), household ? supplier2 : supplier1},
                      {QStringLiteral("SL"), p.stock}};
        if (!run(q,
                 QStringLiteral("insert into spinfo(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sale1,sale2,sale3,kucun1,kucun2,"
                                "changjia,pinma,tiaoma,beizhu) values(:SPBH,:SPMC,:SPXH,:SPGG,:SPLB,:SPJL,:JINJIA,:SALE1,"
                                ":SALE2,:SALE3,:KUCUN1,:KUCUN2,:CHANGJIA,:PINMA,:TIAOMA,:BEIZHU)"),
                 v, error))
            return false;
        if (!run(q,
                 QStringLiteral("insert into kucun(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sl,shoujia) "
                                "values(:SPBH,:SPMC,:SPXH,:SPGG,:SPLB,:SPJL,:JINJIA,:SL,:SALE1)"),
                 v, error))
            return false;
    }

    if (!run(q,
             QStringLiteral("insert into hyinfo(hykh,hyxm,xb,sjhao,sfzhao,dz,bz,ljje,ljjf,yyjf) "
                            "values('88000001','张丽','女','13888000001','','翠湖小区3栋','老顾客',0,0,0)"),
             {}, error))
        return false;
    // A cashier who may use the till and look up members only.
    return run(q, QStringLiteral("insert into userlogin(yhbh,yhmc,yhma,admin) values('002','收银员小王','123',0)"), {}, error) &&
           run(q, QStringLiteral("insert into usermenu(yhbh,m1,m2,m3,m4,m5,m6,m7) values('002',0,1,0,0,0,1,0)"), {}, error);
}

} // namespace

bool createDatabase(const QString& file, const Options& options, QString* error)
{
    if (QFileInfo::exists(file)) {
        if (error)
            *error = QStringLiteral("数据库文件已经存在，没有覆盖：%1").arg(file);
        return false;
    }
    bool ok = false;
    QString err;
    {
        DbConnection db(file);
        if (!db.openOrCreate()) {
            err = db.lastError();
        } else if (Schema::create(db, &err)) {
            ok = db.transaction([&] { return requiredRows(db, options, &err) && (!options.demo || demoRows(db, &err)); });
            if (!ok && err.isEmpty())
                err = db.lastError();
        }
        db.close();
    }
    if (!ok) {
        removeDatabase(file);
        if (error)
            *error = err;
    }
    return ok;
}

void removeDatabase(const QString& file)
{
    QFile::remove(file);
    QFile::remove(file + QStringLiteral("-wal"));
    QFile::remove(file + QStringLiteral("-shm"));
}

} // namespace Setup
