#include "core/report/ReportLayout.h"

#include <QRegularExpression>

namespace {

const QRegularExpression& placeholderPattern()
{
    static const QRegularExpression re(QStringLiteral("\\{([^{}]*)\\}"));
    return re;
}

bool isBuiltIn(const QString& name)
{
    static const QStringList names{QStringLiteral("page"), QStringLiteral("pages"), QStringLiteral("today"),
                                   QStringLiteral("now")};
    return names.contains(name.toLower());
}

class Parser {
public:
    explicit Parser(ReportLayout* layout) : m_layout(layout) {}

    bool run(const QString& text, QString* error);

private:
    bool fail(const QString& message)
    {
        m_error = QStringLiteral("第 %1 行：%2").arg(m_line).arg(message);
        return false;
    }
    bool number(const QString& text, double* value, double min = 0);
    bool integer(const QString& text, int* value, int min);
    bool yesNo(const QString& text, bool* value);
    bool pair(const QString& text, double* a, double* b);
    bool style(const QString& text, ReportText* out);
    bool textLine(const QString& value, QList<ReportText>* list);
    bool field(const QString& value, QList<ReportField>* list);
    bool connectionName(const QString& value, QString* out);
    bool checkTemplate(const QString& text);
    bool setting(const QString& section, const QString& key, const QString& value);
    bool finish();

    ReportLayout* m_layout;
    int m_line = 0;
    QString m_error;
    QStringList m_seenSections;
};

bool Parser::number(const QString& text, double* value, double min)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || v < min)
        return fail(QStringLiteral("“%1”应为不小于 %2 的数字").arg(text.trimmed()).arg(min));
    *value = v;
    return true;
}

bool Parser::integer(const QString& text, int* value, int min)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < min)
        return fail(QStringLiteral("“%1”应为不小于 %2 的整数").arg(text.trimmed()).arg(min));
    *value = v;
    return true;
}

bool Parser::yesNo(const QString& text, bool* value)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("yes") || t == QStringLiteral("是")) {
        *value = true;
        return true;
    }
    if (t == QLatin1String("no") || t == QStringLiteral("否")) {
        *value = false;
        return true;
    }
    return fail(QStringLiteral("“%1”应为 yes、no、是 或 否").arg(text.trimmed()));
}

// "60 x 30" or "60x30"
bool Parser::pair(const QString& text, double* a, double* b)
{
    const QStringList parts = text.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return fail(QStringLiteral("“%1”应写成 宽 x 高").arg(text.trimmed()));
    return number(parts.at(0), a) && number(parts.at(1), b);
}

// Words before the "|" of a text line: left / center / right, a type size, bold.
bool Parser::style(const QString& text, ReportText* out)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& w : words) {
        const QString word = w.toLower();
        if (word == QLatin1String("left"))
            out->align = Qt::AlignLeft;
        else if (word == QLatin1String("center") || word == QLatin1String("centre"))
            out->align = Qt::AlignHCenter;
        else if (word == QLatin1String("right"))
            out->align = Qt::AlignRight;
        else if (word == QLatin1String("bold"))
            out->bold = true;
        else {
            bool ok = false;
            const double size = word.toDouble(&ok);
            if (!ok || size < 4 || size > 96)
                return fail(
                    QStringLiteral("不认识的文字格式“%1”（可用 left、center、right、bold 和 4 到 96 的字号）").arg(w));
            out->size = size;
        }
    }
    return true;
}

bool Parser::checkTemplate(const QString& text)
{
    int open = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('{'))
            ++open;
        else if (c == QLatin1Char('}'))
            --open;
        if (open < 0 || open > 1)
            return fail(QStringLiteral("花括号不配对：%1").arg(text));
    }
    if (open != 0)
        return fail(QStringLiteral("花括号不配对：%1").arg(text));
    auto it = placeholderPattern().globalMatch(text);
    while (it.hasNext()) {
        const QString inner = it.next().captured(1);
        const QString name = inner.section(QLatin1Char(':'), 0, 0).trimmed();
        if (name.isEmpty())
            return fail(QStringLiteral("空的字段名：%1").arg(text));
        const QString format = inner.section(QLatin1Char(':'), 1);
        static const QRegularExpression formatPattern(QStringLiteral("^(0(\\.0+)?)?$"));
        if (!formatPattern.match(format.trimmed()).hasMatch())
            return fail(QStringLiteral("不认识的数字格式“%1”（可用 0、0.0、0.00 …）").arg(format));
    }
    return true;
}

bool Parser::textLine(const QString& value, QList<ReportText>* list)
{
    ReportText line;
    const int bar = value.indexOf(QLatin1Char('|'));
    if (bar >= 0) {
        if (!style(value.left(bar), &line))
            return false;
        line.text = value.mid(bar + 1).trimmed();
    } else {
        line.text = value.trimmed();
    }
    if (!checkTemplate(line.text))
        return false;
    *list << line;
    return true;
}

bool Parser::field(const QString& value, QList<ReportField>* list)
{
    const int bar = value.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return fail(QStringLiteral("字段应写成 名称 | 内容"));
    ReportField f{value.left(bar).trimmed(), value.mid(bar + 1).trimmed()};
    if (!checkTemplate(f.label) || !checkTemplate(f.value))
        return false;
    *list << f;
    return true;
}

bool Parser::connectionName(const QString& value, QString* out)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!name.match(value.trimmed()).hasMatch())
        return fail(QStringLiteral("数据连接名“%1”只能由字母、数字和下划线组成").arg(value.trimmed()));
    *out = value.trimmed();
    return true;
}

bool Parser::setting(const QString& section, const QString& key, const QString& value)
{
    ReportLayout& l = *m_layout;
    const QString k = key.toLower();
    if (section == QLatin1String("report")) {
        if (k == QLatin1String("page")) {
            const QStringList words = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& w : words) {
                const QString word = w.toLower();
                if (word == QLatin1String("portrait"))
                    l.orientation = QPageLayout::Portrait;
                else if (word == QLatin1String("landscape"))
                    l.orientation = QPageLayout::Landscape;
                else if (word == QLatin1String("a4"))
                    l.pageSize = QPageSize(QPageSize::A4);
                else if (word == QLatin1String("a5"))
                    l.pageSize = QPageSize(QPageSize::A5);
                else if (word == QLatin1String("b5"))
                    l.pageSize = QPageSize(QPageSize::B5);
                else if (word == QLatin1String("letter"))
                    l.pageSize = QPageSize(QPageSize::Letter);
                else if (word.contains(QLatin1Char('x'))) {
                    double w2 = 0, h = 0;
                    if (!pair(word, &w2, &h))
                        return false;
                    if (w2 < 20 || h < 20)
                        return fail(QStringLiteral("纸张至少 20 x 20 毫米"));
                    l.pageSize = QPageSize(QSizeF(w2, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
                } else
                    return fail(
                        QStringLiteral("不认识的纸张“%1”（可用 A4、A5、B5、Letter、宽x高、portrait、landscape）")
                            .arg(w));
            }
            return true;
        }
        if (k == QLatin1String("margins")) {
            const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QList<double> v;
            for (const QString& p : parts) {
                double d = 0;
                if (!number(p, &d))
                    return false;
                v << d;
            }
            if (v.size() == 1)
                l.margins = QMarginsF(v[0], v[0], v[0], v[0]);
            else if (v.size() == 2)
                l.margins = QMarginsF(v[0], v[1], v[0], v[1]);
            else if (v.size() == 4)
                l.margins = QMarginsF(v[0], v[1], v[2], v[3]);
            else
                return fail(QStringLiteral("页边距写 1 个、2 个或 4 个数字（左 上 右 下，毫米）"));
            return true;
        }
        if (k == QLatin1String("font")) {
            l.font = value.trimmed();
            return true;
        }
        if (k == QLatin1String("fontsize"))
            return number(value, &l.fontSize, 4);
        if (k == QLatin1String("pagenumber")) {
            l.pageNumber = value.trimmed();
            return checkTemplate(l.pageNumber);
        }
    } else if (section == QLatin1String("title")) {
        if (k == QLatin1String("line"))
            return textLine(value, &l.title);
    } else if (section == QLatin1String("header") || section == QLatin1String("footer")) {
        const bool header = section == QLatin1String("header");
        if (k == QLatin1String("connection"))
            return connectionName(value, header ? &l.headerConnection : &l.footerConnection);
        if (k == QLatin1String("columns"))
            return integer(value, header ? &l.headerColumns : &l.footerColumns, 1);
        if (k == QLatin1String("field"))
            return field(value, header ? &l.headerFields : &l.footerFields);
        if (!header && k == QLatin1String("line"))
            return textLine(value, &l.footerLines);
    } else if (section == QLatin1String("table")) {
        if (k == QLatin1String("connection"))
            return connectionName(value, &l.tableConnection);
        if (k == QLatin1String("rowheight"))
            return number(value, &l.rowHeight, 3);
        if (k == QLatin1String("number")) {
            const QStringList parts = value.split(QLatin1Char('|'));
            l.numberCaption = parts.value(0).trimmed();
            if (l.numberCaption.isEmpty())
                return fail(QStringLiteral("序号列要有标题"));
            if (parts.size() > 1 && !number(parts.at(1), &l.numberShare, 0.1))
                return false;
            return true;
        }
        if (k == QLatin1String("totals")) {
            l.totalsCaption = value.trimmed();
            return true;
        }
        if (k == QLatin1String("column")) {
            const QStringList parts = value.split(QLatin1Char('|'));
            if (parts.size() < 2)
                return fail(QStringLiteral("列应写成 标题 | 内容 | 宽度 | 对齐 | sum"));
            ReportColumn c;
            c.caption = parts.at(0).trimmed();
            c.value = parts.at(1).trimmed();
            if (!checkTemplate(c.value))
                return false;
            if (parts.size() > 2 && !parts.at(2).trimmed().isEmpty() && !number(parts.at(2), &c.share, 0.1))
                return false;
            if (parts.size() > 3) {
                ReportText t;
                if (!style(parts.at(3), &t))
                    return false;
                c.align = t.align;
            }
            if (parts.size() > 4) {
                if (parts.at(4).trimmed().toLower() != QLatin1String("sum"))
                    return fail(QStringLiteral("列的第五项只能是 sum"));
                static const QRegularExpression single(QStringLiteral("^\\{([A-Za-z0-9_]+)(:[^{}]*)?\\}$"));
                const auto m = single.match(c.value);
                if (!m.hasMatch())
                    return fail(QStringLiteral("求和的列只能是一个字段，如 {jine:0.00}"));
                c.sumField = m.captured(1);
                c.sumFormat = m.captured(2).mid(1);
            }
            if (parts.size() > 5)
                return fail(QStringLiteral("列的内容太多：%1").arg(value.trimmed()));
            l.columns << c;
            return true;
        }
    } else if (section == QLatin1String("labels")) {
        if (k == QLatin1String("connection"))
            return connectionName(value, &l.labelConnection);
        if (k == QLatin1String("grid")) {
            double c = 0, r = 0;
            if (!pair(value, &c, &r))
                return false;
            if (c < 1 || r < 1 || c != int(c) || r != int(r))
                return fail(QStringLiteral("每页标签数应为整数 列 x 行"));
            l.labelColumns = int(c);
            l.labelRows = int(r);
            return true;
        }
        if (k == QLatin1String("size")) {
            double w = 0, h = 0;
            if (!pair(value, &w, &h))
                return false;
            if (w < 5 || h < 5)
                return fail(QStringLiteral("标签至少 5 x 5 毫米"));
            l.labelSize = QSizeF(w, h);
            return true;
        }
        if (k == QLatin1String("gap")) {
            double w = 0, h = 0;
            if (!pair(value, &w, &h))
                return false;
            l.labelGap = QSizeF(w, h);
            return true;
        }
        if (k == QLatin1String("border"))
            return yesNo(value, &l.labelBorder);
        if (k == QLatin1String("text") || k == QLatin1String("barcode")) {
            const QStringList parts = value.split(QLatin1Char('|'));
            const bool text = k == QLatin1String("text");
            if (parts.size() != (text ? 3 : 2))
                return fail(text ? QStringLiteral("标签文字应写成 左 上 宽 高 | 格式 | 内容")
                                 : QStringLiteral("条码应写成 左 上 宽 高 | 内容"));
            const QStringList box = parts.at(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (box.size() != 4)
                return fail(QStringLiteral("位置应为 4 个数字：左 上 宽 高（毫米）"));
            double v[4];
            for (int i = 0; i < 4; ++i)
                if (!number(box.at(i), &v[i]))
                    return false;
            ReportLabelItem item;
            item.kind = text ? ReportLabelItem::Kind::Text : ReportLabelItem::Kind::Barcode;
            item.rect = QRectF(v[0], v[1], v[2], v[3]);
            if (text && !style(parts.at(1), &item.text))
                return false;
            item.text.text = parts.last().trimmed();
            if (!checkTemplate(item.text.text))
                return false;
            l.labelItems << item;
            return true;
        }
    }
    return fail(QStringLiteral("[%1] 里没有“%2”这一项").arg(section, key));
}

bool Parser::finish()
{
    ReportLayout& l = *m_layout;
    if (l.hasTable() == l.hasLabels())
        return fail(QStringLiteral("报表要有 [table] 的列或 [labels] 的内容，两者只能有一个"));
    if (l.hasTable() && l.tableConnection.isEmpty())
        return fail(QStringLiteral("[table] 缺少 connection"));
    if (l.hasLabels()) {
        if (l.labelConnection.isEmpty())
            return fail(QStringLiteral("[labels] 缺少 connection"));
        if (l.labelColumns < 1 || l.labelSize.isEmpty())
            return fail(QStringLiteral("[labels] 缺少 grid 或 size"));
        for (const ReportLabelItem& item : l.labelItems)
            if (item.rect.right() > l.labelSize.width() + 0.01 || item.rect.bottom() > l.labelSize.height() + 0.01)
                return fail(QStringLiteral("标签内容“%1”超出了标签").arg(item.text.text));
    }
    // A plain {field} in the header or footer needs the section's connection to read it from.
    auto needsConnection = [](const QStringList& texts) {
        for (const QString& t : texts) {
            auto it = placeholderPattern().globalMatch(t);
            while (it.hasNext()) {
                const QString name = it.next().captured(1).section(QLatin1Char(':'), 0, 0).trimmed();
                if (!name.contains(QLatin1Char('.')) && !isBuiltIn(name))
                    return true;
            }
        }
        return false;
    };
    auto textsOf = [](const QList<ReportField>& fields, const QList<ReportText>& lines) {
        QStringList texts;
        for (const ReportField& f : fields)
            texts << f.label << f.value;
        for (const ReportText& t : lines)
            texts << t.text;
        return texts;
    };
    if (l.headerConnection.isEmpty() && needsConnection(textsOf(l.headerFields, {})))
        return fail(QStringLiteral("[header] 用到了字段，但缺少 connection"));
    if (l.footerConnection.isEmpty() && needsConnection(textsOf(l.footerFields, l.footerLines)))
        return fail(QStringLiteral("[footer] 用到了字段，但缺少 connection"));
    if (needsConnection(textsOf({}, l.title) << l.pageNumber))
        return fail(QStringLiteral("标题和页码里的字段要写成 {连接名.字段}"));
    return true;
}

bool Parser::run(const QString& text, QString* error)
{
    static const QStringList sections{QStringLiteral("report"), QStringLiteral("title"),  QStringLiteral("header"),
                                      QStringLiteral("table"),  QStringLiteral("footer"), QStringLiteral("labels")};
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool ok = true;
    for (int i = 0; i < lines.size() && ok; ++i) {
        m_line = i + 1;
        QString line = lines.at(i).trimmed();
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                ok = fail(QStringLiteral("节名应写成 [名称]"));
                break;
            }
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            if (!sections.contains(section))
                ok = fail(QStringLiteral("不认识的节 [%1]").arg(section));
            else if (m_seenSections.contains(section))
                ok = fail(QStringLiteral("节 [%1] 出现了两次").arg(section));
            m_seenSections << section;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            ok = fail(QStringLiteral("应写成 名称 = 值：%1").arg(line));
            break;
        }
        if (section.isEmpty()) {
            ok = fail(QStringLiteral("第一项之前要有节名，如 [report]"));
            break;
        }
        ok = setting(section, line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    if (ok) {
        m_line = int(lines.size());
        ok = finish();
    }
    if (!ok && error)
        *error = m_error;
    return ok;
}

void addConnectionsOf(const QString& text, QStringList* list)
{
    auto it = placeholderPattern().globalMatch(text);
    while (it.hasNext()) {
        const QString name = it.next().captured(1).section(QLatin1Char(':'), 0, 0).trimmed();
        const int dot = name.indexOf(QLatin1Char('.'));
        if (dot > 0 && !list->contains(name.left(dot)))
            *list << name.left(dot);
    }
}

} // namespace

QPageLayout ReportLayout::pageLayout() const
{
    return QPageLayout(pageSize, orientation, margins, QPageLayout::Millimeter);
}

QStringList ReportLayout::connections() const
{
    QStringList list;
    auto add = [&list](const QString& name) {
        if (!name.isEmpty() && !list.contains(name))
            list << name;
    };
    add(tableConnection);
    add(labelConnection);
    add(headerConnection);
    add(footerConnection);
    for (const ReportText& t : title)
        addConnectionsOf(t.text, &list);
    for (const ReportField& f : headerFields + footerFields) {
        addConnectionsOf(f.label, &list);
        addConnectionsOf(f.value, &list);
    }
    for (const ReportText& t : footerLines)
        addConnectionsOf(t.text, &list);
    for (const ReportColumn& c : columns)
        addConnectionsOf(c.value, &list);
    for (const ReportLabelItem& item : labelItems)
        addConnectionsOf(item.text.text, &list);
    addConnectionsOf(pageNumber, &list);
    return list;
}

bool ReportLayout::parse(const QString& text, ReportLayout* layout, QString* error)
{
    ReportLayout result;
    Parser parser(&result);
    if (!parser.run(text, error))
        return false;
    *layout = result;
    return true;
}

QStringList printFontFamilies(const QString& preferred)
{
    // Where the Song face is missing, Latin letters and digits come from a Latin serif and
    // Chinese from the Noto CJK serif: Qt's PDF output of the CJK face's own Latin glyphs
    // loses digits that follow a letter in the text layer ("RK0001" would copy as "RK").
    QStringList families{preferred};
    for (const QString& f : {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("DejaVu Serif"),
                             QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")})
        if (!families.contains(f))
            families << f;
    return families;
}
