#include "gui/tabs/DocumentTabBar.h"

#include "gui/tabs/TabCloseButton.h"

#include <QStyle>
#include <QStyleOptionTab>

DocumentTabBar::DocumentTabBar(QWidget *parent) : QTabBar(parent), m_close(new TabCloseButton(this))
{
    m_close->setObjectName(QStringLiteral("tabClose"));
    m_close->hide();
}

void DocumentTabBar::placeCloseButton()
{
    const int index = currentIndex();
    if (index < 0) {
        m_close->hide();
        return;
    }
    QStyleOptionTab option;
    initStyleOption(&option, index);
    const QRect place = style()->subElementRect(QStyle::SE_TabBarTabRightButton, &option, this);
    m_close->move(place.topLeft());
    m_close->setVisible(place.isValid() && rect().intersects(place));
}

QSize DocumentTabBar::tabSizeHint(int index) const
{
    const QSize size = QTabBar::tabSizeHint(index);
    const int room = m_close->width() + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this) / 2;
    return {size.width() + room, size.height()};
}

void DocumentTabBar::initStyleOption(QStyleOptionTab *option, int tabIndex) const
{
    QTabBar::initStyleOption(option, tabIndex);
    // The label keeps clear of the button's place on every tab alike.
    option->rightButtonSize = m_close->size();
}

void DocumentTabBar::tabLayoutChange()
{
    QTabBar::tabLayoutChange();
    placeCloseButton();
}

// Scrolling the tabs moves the one in front without a new layout.
void DocumentTabBar::paintEvent(QPaintEvent *event)
{
    placeCloseButton();
    QTabBar::paintEvent(event);
}
