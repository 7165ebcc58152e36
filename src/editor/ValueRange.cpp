#include "editor/ValueRange.h"

#include <QRegularExpression>

ValueRange ValueRange::parse(const QString &rangeText)
{
    static const QRegularExpression between(QStringLiteral(R"(^(-?\d+(?:\.\d+)?)-(-?\d+(?:\.\d+)?)$)"));
    static const QRegularExpression atLeast(QStringLiteral(R"(^(-?\d+(?:\.\d+)?) or more$)"));
    ValueRange range;
    const QString text = rangeText.trimmed();
    if (text == QLatin1String("any number")) {
        range.kind = Kind::AnyNumber;
    } else if (const auto m = between.match(text); m.hasMatch()) {
        range.lowText = m.captured(1);
        range.highText = m.captured(2);
        range.low = range.lowText.toDouble();
        range.high = range.highText.toDouble();
        // An empty range would flag every value; leave such an entry unchecked.
        range.kind = range.low <= range.high ? Kind::Between : Kind::Unchecked;
    } else if (const auto m = atLeast.match(text); m.hasMatch()) {
        range.lowText = m.captured(1);
        range.low = range.lowText.toDouble();
        range.kind = Kind::AtLeast;
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
