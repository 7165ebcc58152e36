#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Dialog layouts are measured in twips, 15 to a pixel.
namespace Twips {

constexpr int toPixels(int twips)
{
    return twips / 15;
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QSize size(int width, int height)
{
    return QSize(toPixels(width), toPixels(height));
}

// The dialogs' font. Arial is close in width to the narrow sans serif the
// layouts were measured with; wider fonts clip the labels.
inline QFont dialogFont(qreal pointSize = 8.25)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace Twips
