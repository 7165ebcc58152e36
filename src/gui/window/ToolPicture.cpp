#include "gui/window/ToolPicture.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

ToolPicture::ToolPicture(const QPixmap &picture, const QString &toolTip, const QString &accessibleName,
                         QWidget *parent)
    : QAbstractButton(parent), m_picture(picture)
{
    setToolTip(toolTip);
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
}

QSize ToolPicture::sizeHint() const
{
    return m_picture.deviceIndependentSize().toSize() + QSize(2, 2);
}

void ToolPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), QColor(192, 192, 192));
    // Pressed, the picture sinks by a pixel.
    const int shift = isDown() ? 1 : 0;
    if (isEnabled()) {
        painter.drawPixmap(1 + shift, 1 + shift, m_picture);
    } else {
        QStyleOption option;
        option.initFrom(this);
        painter.drawPixmap(1, 1, style()->generatedIconPixmap(QIcon::Disabled, m_picture, &option));
    }
    painter.setPen(isDown() ? QColor(64, 64, 64) : QColor(128, 128, 128));
    painter.drawRect(frame);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
