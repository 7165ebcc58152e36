#pragma once

#include "editbox/Clipboard.h"

// A clipboard that lives in the process, for the core's tests and tools.
class MemoryClipboard : public Clipboard
{
public:
    void Clear() override;
    void SetText(const QString &text, Format format = Format::Text) override;
    QString GetText(Format format = Format::Text) const override;

private:
    QString m_text;
    QString m_rich;
};
