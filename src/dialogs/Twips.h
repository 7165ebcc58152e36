#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

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

// The dialogs' own font; Arial stands in where MS Sans Serif is missing.
inline QFont dialogFont(qreal pointSize = 8.25)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")});
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace Twips
