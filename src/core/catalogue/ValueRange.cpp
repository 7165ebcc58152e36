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

// Reads "A-B" filling the two ends; false unless it is the whole text.
bool readBetween(QStringView text, double &low, double &high, QString *lowText = nullptr, QString *highText = nullptr)
{
    const qsizetype lowEnd = readEnd(text, 0);
    if (lowEnd < 0 || lowEnd >= text.size() || text[lowEnd] != u'-' || readEnd(text, lowEnd + 1) != text.size())
        return false;
    low = text.first(lowEnd).toString().toDouble();
    high = text.mid(lowEnd + 1).toString().toDouble();
    if (lowText)
        *lowText = text.first(lowEnd).toString();
    if (highText)
        *highText = text.mid(lowEnd + 1).toString();
    // An empty range would flag every value.
    return low <= high;
}

// One number's range, without the clamp.
void readBase(QStringView text, ValueRange &range)
{
    if (text == QLatin1String("any number")) {
        range.kind = ValueRange::Kind::AnyNumber;
        return;
    }
    if (readBetween(text, range.low, range.high, &range.lowText, &range.highText)) {
        range.kind = ValueRange::Kind::Between;
        return;
    }
    const qsizetype lowEnd = readEnd(text, 0);
    if (lowEnd > 0 && text.mid(lowEnd) == QLatin1String(" or more")) {
        range.lowText = text.first(lowEnd).toString();
        range.low = range.lowText.toDouble();
        range.kind = ValueRange::Kind::AtLeast;
    }
}

// "A-B", "at most B" or "at least A"; false for anything else.
bool readKept(QStringView text, ValueRange &range)
{
    const auto number = [](QStringView t, double &value, QString &shown) {
        if (readEnd(t, 0) != t.size())
            return false;
        shown = t.toString();
        value = shown.toDouble();
        return true;
    };
    if (text.startsWith(QLatin1String("at most ")))
        return range.keepsHigh = number(text.mid(8), range.keepHigh, range.keepHighText);
    if (text.startsWith(QLatin1String("at least ")))
        return range.keepsLow = number(text.mid(9), range.keepLow, range.keepLowText);
    if (!readBetween(text, range.keepLow, range.keepHigh, &range.keepLowText, &range.keepHighText))
        return false;
    range.keepsLow = range.keepsHigh = true;
    return true;
}

QString joined(const QStringList &choices, const QList<std::pair<double, double>> &numbers)
{
    QStringList all = choices;
    for (const auto &[low, high] : numbers)
        all.append(low == high ? QString::number(low) : QStringLiteral("%1 to %2").arg(low).arg(high));
    return all.join(QStringLiteral(", "));
}

} // namespace

// Read by hand rather than by pattern: it runs for every value on screen.
ValueRange ValueRange::parse(const QString &rangeText)
{
    ValueRange range;
    QStringView text = QStringView(rangeText).trimmed();
    if (text.startsWith(QLatin1String("one of "))) {
        for (const QStringView choice : text.mid(7).split(u'|')) {
            const QStringView c = choice.trimmed();
            double low = 0;
            double high = 0;
            if (readBetween(c, low, high))
                range.numberChoices.append({low, high});
            else if (!c.isEmpty())
                range.choices.append(c.toString());
        }
        if (!range.choices.isEmpty() || !range.numberChoices.isEmpty())
            range.kind = Kind::Choices;
        return range;
    }
    if (const qsizetype colon = text.indexOf(QLatin1String(" numbers: ")); colon > 0) {
        bool ok = false;
        const int count = text.first(colon).toInt(&ok);
        if (!ok || count < 2 || count > 16)
            return range;
        range.count = count;
        text = text.mid(colon + 10);
    }
    QStringView base = text;
    if (const qsizetype kept = text.indexOf(QLatin1String(", kept ")); kept >= 0) {
        base = text.first(kept);
        // A clamp that cannot be read leaves the entry unchecked rather than wrongly checked.
        if (!readKept(text.mid(kept + 7), range))
            return ValueRange();
    }
    readBase(base, range);
    if (!range.isChecked())
        return ValueRange();
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
    QString text;
    switch (kind) {
    case Kind::Between: text = QStringLiteral("a number from %1 to %2").arg(lowText, highText); break;
    case Kind::AtLeast: text = QStringLiteral("a number of %1 or more").arg(lowText); break;
    case Kind::AnyNumber: text = QStringLiteral("any number"); break;
    case Kind::Choices: return QStringLiteral("one of %1").arg(joined(choices, numberChoices));
    case Kind::Unchecked: return {};
    }
    if (keepsLow && keepsHigh)
        text += QStringLiteral(", kept from %1 to %2").arg(keepLowText, keepHighText);
    else if (keepsHigh)
        text += QStringLiteral(", kept at most %1").arg(keepHighText);
    else if (keepsLow)
        text += QStringLiteral(", kept at least %1").arg(keepLowText);
    if (count > 1)
        text = QStringLiteral("%1 numbers, each %2").arg(count).arg(text);
    return text;
}

ValueRange::Check ValueRange::check(QStringView value) const
{
    switch (kind) {
    case Kind::Unchecked: return {};
    case Kind::Choices: {
        for (const QString &choice : choices) {
            if (value.compare(choice, Qt::CaseInsensitive) == 0)
                return {};
        }
        double number = 0;
        if (parseConsoleNumber(value, number)) {
            for (const auto &[low, high] : numberChoices) {
                if (number >= low && number <= high)
                    return {};
            }
        }
        return {Severity::Error,
                QStringLiteral("\"%1\" is not one of %2").arg(value.toString(), joined(choices, numberChoices))};
    }
    default: break;
    }
    if (count == 1)
        return checkNumber(value);
    const QList<QStringView> numbers = value.split(u' ', Qt::SkipEmptyParts);
    if (numbers.size() != count)
        return {Severity::Error, QStringLiteral("%1 numbers are needed, \"%2\" has %3")
                                     .arg(count).arg(value.toString()).arg(numbers.size())};
    Check worst;
    for (const QStringView number : numbers) {
        const Check one = checkNumber(number);
        if (one.severity > worst.severity)
            worst = one;
    }
    return worst;
}

ValueRange::Check ValueRange::checkNumber(QStringView value) const
{
    double number = 0;
    if (!parseConsoleNumber(value, number)) {
        // A stray quote after the number ("30\"") stays in the word (rehlds
        // engine/common.cpp COM_Parse ends a word only at a space or one of
        // {}()',), and the game's atof reads the number before it.
        QStringView read = value;
        while (read.endsWith(u'"'))
            read.chop(1);
        if (read.size() < value.size() && parseConsoleNumber(read, number)) {
            const Check inRange = checkNumber(read);
            return inRange.severity != Severity::None
                       ? inRange
                       : Check{Severity::Notice, QStringLiteral("%1: the game reads it as %2").arg(value, read)};
        }
        return {Severity::Error, value.isEmpty() ? QStringLiteral("the value is empty")
                                                 : QStringLiteral("\"%1\" is not a number").arg(value)};
    }
    if (number < low && kind != Kind::AnyNumber)
        return {Severity::Error, QStringLiteral("%1 is below %2").arg(value, lowText)};
    if (number > high && kind == Kind::Between)
        return {Severity::Error, QStringLiteral("%1 is above %2").arg(value, highText)};
    if (keepsHigh && number > keepHigh)
        return {Severity::Notice, QStringLiteral("%1: the game keeps it at most %2").arg(value, keepHighText)};
    if (keepsLow && number < keepLow)
        return {Severity::Notice, QStringLiteral("%1: the game keeps it at least %2").arg(value, keepLowText)};
    return {};
}
