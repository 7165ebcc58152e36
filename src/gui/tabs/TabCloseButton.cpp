#include "gui/tabs/TabCloseButton.h"

#include <QPainter>
#include <QStyleOption>

TabCloseButton::TabCloseButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setToolTip(tr("Close Document (Ctrl+W)"));
    setAccessibleName(tr("Close document"));
    resize(sizeHint());
}

QSize TabCloseButton::sizeHint() const
{
    ensurePolished();
    const int width = style()->pixelMetric(QStyle::PM_TabCloseIndicatorWidth, nullptr, this);
    const int height = style()->pixelMetric(QStyle::PM_TabCloseIndicatorHeight, nullptr, this);
    return {width, height};
}

void TabCloseButton::enterEvent(QEnterEvent *event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void TabCloseButton::leaveEvent(QEvent *event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

void TabCloseButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_AutoRaise | QStyle::State_Selected;
    if (isEnabled() && underMouse() && !isChecked() && !isDown())
        option.state |= QStyle::State_Raised;
    if (isDown())
        option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_IndicatorTabClose, &option, &painter, this);
}
