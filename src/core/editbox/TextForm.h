#pragma once

#include <QString>
#include <QStringView>

// How a document's text is written to its file: the encoding, the line end
// that new lines take, and the line end after the last line (none when the
// file ended without one). The text itself keeps each line's own end, so a
// file that is opened and saved unchanged is written byte for byte.
struct TextForm
{
    enum class Encoding : quint8 { Windows1252, Utf8, Utf8Bom };
    enum class LineBreak : quint8 { None, CrLf, Lf, Cr };

    Encoding encoding = Encoding::Windows1252;
    LineBreak lineBreak = LineBreak::CrLf;
    LineBreak finalBreak = LineBreak::CrLf;

    // The game's own files: Windows-1252 with CR LF; what a new document gets.
    static TextForm game() { return {}; }
    bool isGame() const
    {
        return encoding == Encoding::Windows1252 && lineBreak == LineBreak::CrLf
            && (finalBreak == LineBreak::CrLf || finalBreak == LineBreak::None);
    }

    static QString breakText(LineBreak lineBreak);
    QString newLine() const { return breakText(lineBreak); }

    // As the status bar shows them: "Windows-1252", "UTF-8 with BOM", "CR LF", "LF".
    static QString name(Encoding encoding);
    static QString name(LineBreak lineBreak);
    // "Windows-1252, CR LF".
    QString describe() const;

    // This form with every line end made `lineBreak`; a file without a
    // final line end keeps going without one.
    TextForm withLineBreak(LineBreak lineBreak) const;

    // In one byte, for the undo history.
    qint8 packed() const;
    static TextForm unpacked(qint8 packed);

    friend bool operator==(const TextForm &, const TextForm &) = default;
};

namespace LineBreaks {

// Every line end of the text (CR LF, LF or a lone CR) made `lineBreak`.
QString convert(QStringView text, TextForm::LineBreak lineBreak);

// The line end the text's lines use most; CR LF where none is more common,
// and for a text of one line.
TextForm::LineBreak mostCommon(QStringView text, TextForm::LineBreak extra = TextForm::LineBreak::None);

// Where a position of the text falls after convert(): the same line and column.
qsizetype convertedPosition(QStringView text, qsizetype position, TextForm::LineBreak lineBreak);

} // namespace LineBreaks
