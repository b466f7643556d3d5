#include "core/GridColumn.h"

#include "core/DbConnection.h"
#include "core/TextUtil.h"

Qt::Alignment GridColumn::effectiveAlignment() const
{
    if (alignment != Qt::Alignment())
        return alignment;
    const bool figure = format == Format::Number || format == Format::Money;
    return Qt::AlignVCenter | (figure ? Qt::AlignRight : Qt::AlignLeft);
}

QString GridColumn::display(const QVariant& value) const
{
    switch (format) {
    case Format::Money:
        if (value.isNull() || Query::variantText(value).isEmpty())
            return QString();
        return TextUtil::money(Query::variantNumber(value));
    case Format::Number:
        if (value.isNull() || Query::variantText(value).isEmpty())
            return QString();
        return TextUtil::shortestNumber(Query::variantNumber(value));
    case Format::Text:
    case Format::Hidden:
        break;
    }
    return Query::variantText(value);
}

GridColumns visibleColumns(const GridColumns& columns)
{
    GridColumns out;
    for (const GridColumn& c : columns)
        if (c.visible())
            out << c;
    return out;
}
