#pragma once

#include <QString>
#include <QStringView>

// A small rich-text writer and reader for plain text.
//
// The writer's form: the text follows a header ending in a space, each line
// break is "\par" and CR LF, and the whole ends with "\par", CR, LF, "}",
// CR, LF and a NUL. Backslash and braces are escaped, and so is every
// character outside printable ASCII.
namespace RichText {

QString fromPlain(QStringView plain);

void appendEscaped(QString &out, QStringView plain);

// Whether a string is rich text rather than plain text.
bool isRichText(QStringView text);

// The plain text of rich text, with CR LF line breaks; the paragraph mark
// that ends the whole is not a line break. A string that is not rich text
// comes back unchanged.
QString toPlain(QStringView rtf);

} // namespace RichText
