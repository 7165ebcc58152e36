#pragma once

#include <QString>

// Lines of the box's text as it shows them, numbered from 1 and ended by
// CR LF or a lone LF.
namespace LineNumbers {

int count(const QString &text);
// The line holding a position.
int lineOf(const QString &text, int position);
// Where a line starts; a number past the last line gives the last line,
// one below 1 the first.
int startOf(const QString &text, int line);

} // namespace LineNumbers
