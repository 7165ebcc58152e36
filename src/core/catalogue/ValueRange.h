#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The values a catalogue entry takes, read from its range text (the grammar
// is written out in data/catalogue/engine.txt):
//   "A-B", "A or more", "any number"        one number
//   ..., kept A-B | kept at most B | kept at least A
//                                           taken, but moved to the nearer end
//   "N numbers: RANGE"                      a quoted value of N numbers, each in RANGE
//   "one of a|b|A-B"                        a named choice (letter case ignored) or a number
// Any other text ("any text", "none", "key name", ...) leaves the value unchecked.
struct ValueRange
{
    enum class Kind { Unchecked, Between, AtLeast, AnyNumber, Choices };
    // Error: the game refuses the value or reads it as something else.
    // Notice: the game takes it but changes it.
    enum class Severity { None, Notice, Error };
    struct Check
    {
        Severity severity = Severity::None;
        QString message; // empty for None
    };

    Kind kind = Kind::Unchecked;
    double low = 0;
    double high = 0;
    // The ends as the catalogue writes them, for messages.
    QString lowText;
    QString highText;
    // Where the game keeps a value it takes.
    bool keepsLow = false;
    bool keepsHigh = false;
    double keepLow = 0;
    double keepHigh = 0;
    QString keepLowText;
    QString keepHighText;
    // How many numbers one value holds.
    int count = 1;
    // Choices: the named ones, and number ranges as pairs of ends.
    QStringList choices;
    QList<std::pair<double, double>> numberChoices;

    static ValueRange parse(const QString &rangeText);

    bool isChecked() const { return kind != Kind::Unchecked; }

    // What the game makes of the value; always None for an unchecked range.
    Check check(QStringView value) const;
    // check()'s message: empty when the value is taken unchanged.
    QString problem(QStringView value) const { return check(value).message; }

    // "a number from 0.1 to 10", for messages.
    QString description() const;

private:
    Check checkNumber(QStringView value) const;
};

// A console value read as a number: optional sign, digits with an optional
// fraction (".5" and "5." included). Nothing else, no exponent.
bool parseConsoleNumber(QStringView text, double &value);
inline bool isConsoleNumber(QStringView text)
{
    double ignored = 0;
    return parseConsoleNumber(text, ignored);
}
// Whether two values set the same: numbers by their value ("101" and
// "101.0"), any other text as written.
inline bool sameConsoleValue(QStringView a, QStringView b)
{
    double x = 0, y = 0;
    if (parseConsoleNumber(a, x) && parseConsoleNumber(b, y))
        return x == y;
    return a == b;
}
