#pragma once

#include "editbox/Clipboard.h"

// The desktop's clipboard: text/plain and text/rtf. Where the desktop ends
// lines with LF, line breaks are translated on the way in and out.
class SystemClipboard : public Clipboard
{
public:
    void Clear() override;
    void SetText(const QString &text, Format format = Format::Text) override;
    QString GetText(Format format = Format::Text) const override;

    // Line-end translation between the document and the desktop.
    static QString toDesktop(const QString &text);
    static QString fromDesktop(const QString &text);
};
