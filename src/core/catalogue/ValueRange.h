#pragma once

#include <QString>
#include <QStringView>

// The numeric values a catalogue entry takes, read from its range text:
// "A-B" (A to B inclusive), "A or more", "any number". Any other text
// ("any text", "none", "key name", ...) leaves the value unchecked.
struct ValueRange
{
    enum class Kind { Unchecked, Between, AtLeast, AnyNumber };

    Kind kind = Kind::Unchecked;
    double low = 0;
    double high = 0;
    // The ends as the catalogue writes them, for messages.
    QString lowText;
    QString highText;

    static ValueRange parse(const QString &rangeText);

    bool isChecked() const { return kind != Kind::Unchecked; }

    // Why the value is not one this range takes, or empty when it is
    // (always empty for an unchecked range).
    QString problem(QStringView value) const;

    // "a number from 0.1 to 10", for messages.
    QString description() const;
};

// A console value read as a number: optional sign, digits with an optional
// fraction (".5" and "5." included). Nothing else, no exponent.
bool parseConsoleNumber(QStringView text, double &value);
