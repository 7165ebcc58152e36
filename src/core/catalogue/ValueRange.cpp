#include "catalogue/ValueRange.h"

namespace {

// Reads -?digits(.digits)? at i; returns where it ends, or -1.
qsizetype readEnd(QStringView text, qsizetype i)
{
    const auto digits = [&](qsizetype at) {
        qsizetype end = at;
        while (end < text.size() && text[end] >= u'0' && text[end] <= u'9')
            ++end;
        return end;
    };
    if (i < text.size() && text[i] == u'-')
        ++i;
    qsizetype end = digits(i);
    if (end == i)
        return -1;
    if (end < text.size() && text[end] == u'.') {
        const qsizetype fraction = digits(end + 1);
        if (fraction == end + 1)
            return -1;
        end = fraction;
    }
    return end;
}

} // namespace

// Read by hand rather than by pattern: it runs for every value on screen.
ValueRange ValueRange::parse(const QString &rangeText)
{
    ValueRange range;
    const QStringView text = QStringView(rangeText).trimmed();
    if (text == QLatin1String("any number")) {
        range.kind = Kind::AnyNumber;
        return range;
    }
    const qsizetype lowEnd = readEnd(text, 0);
    if (lowEnd < 0)
        return range;
    range.lowText = text.first(lowEnd).toString();
    range.low = range.lowText.toDouble();
    if (text.mid(lowEnd) == QLatin1String(" or more")) {
        range.kind = Kind::AtLeast;
    } else if (lowEnd < text.size() && text[lowEnd] == u'-' && readEnd(text, lowEnd + 1) == text.size()) {
        range.highText = text.mid(lowEnd + 1).toString();
        range.high = range.highText.toDouble();
        // An empty range would flag every value; leave such an entry unchecked.
        if (range.low <= range.high)
            range.kind = Kind::Between;
    }
    return range;
}

bool parseConsoleNumber(QStringView text, double &value)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    if (digits == 0)
        return false;
    bool ok = false;
    value = text.toString().toDouble(&ok);
    return ok;
}

QString ValueRange::description() const
{
    switch (kind) {
    case Kind::Between: return QStringLiteral("a number from %1 to %2").arg(lowText, highText);
    case Kind::AtLeast: return QStringLiteral("a number of %1 or more").arg(lowText);
    case Kind::AnyNumber: return QStringLiteral("any number");
    case Kind::Unchecked: break;
    }
    return {};
}

QString ValueRange::problem(QStringView value) const
{
    if (!isChecked())
        return {};
    double number = 0;
    if (!parseConsoleNumber(value, number))
        return value.isEmpty() ? QStringLiteral("the value is empty") : QStringLiteral("\"%1\" is not a number").arg(value);
    if (number < low && kind != Kind::AnyNumber)
        return QStringLiteral("%1 is below %2").arg(value, lowText);
    if (number > high && kind == Kind::Between)
        return QStringLiteral("%1 is above %2").arg(value, highText);
    return {};
}
