#pragma once

#include <QString>

// The clipboard as the editor uses it: one plain-text and one rich-text
// flavour. Line breaks on it are CR LF, as in the document.
class Clipboard
{
public:
    enum class Format { Text = 1, RichText = 0xBF01 };

    virtual ~Clipboard() = default;
    virtual void Clear() = 0;
    // Adds a flavour, keeping the other one.
    virtual void SetText(const QString &text, Format format = Format::Text) = 0;
    // Empty when the clipboard holds nothing of that flavour.
    virtual QString GetText(Format format = Format::Text) const = 0;
};
