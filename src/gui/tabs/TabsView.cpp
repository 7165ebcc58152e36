#include "gui/tabs/TabsView.h"

#include "documents/OpenDocuments.h"
#include "gui/tabs/DocumentTabBar.h"
#include "settings/FileName.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QSignalBlocker>

TabsView::TabsView(QWidget &client, OpenDocuments &documents, std::function<void(int)> close)
    : QObject(&client), m_client(client), m_documents(documents), m_close(std::move(close)),
      m_bar(new DocumentTabBar(&client))
{
    m_bar->setObjectName(QStringLiteral("tabBar"));
    m_bar->setAccessibleName(tr("Open documents"));
    m_bar->setDocumentMode(true);
    m_bar->setExpanding(false);
    // Labels are file names: tabs that do not fit scroll rather than each
    // label being measured for shortening at every layout and paint.
    m_bar->setElideMode(Qt::ElideNone);
    m_bar->setUsesScrollButtons(true);
    m_bar->setMovable(true);
    m_bar->setFocusPolicy(Qt::NoFocus);
    // Hidden while one document is open: the window then looks as it always did.
    m_bar->hide();
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) { m_documents.setCurrent(index); });
    connect(m_bar, &QTabBar::tabMoved, this, [this](int from, int to) {
        m_documents.move(from, to);
        m_bar->placeCloseButton();
    });
    connect(&m_bar->closeButton(), &QAbstractButton::clicked, this,
            [this] { m_close(m_documents.currentIndex()); });
    // The middle button closes the tab under it.
    m_bar->installEventFilter(this);
}

QString TabsView::label(int index) const
{
    return m_bar->tabText(index);
}

void TabsView::added()
{
    const int index = m_documents.count() - 1;
    const QSignalBlocker quiet(m_bar);
    // Given its label at once: each new label lays the whole bar out again.
    m_bar->addTab(m_documents.labels().value(index));
    m_bar->setTabToolTip(index, FileName::shownPath(m_documents.at(index).fileName()));
}

void TabsView::removing(int index)
{
    const QSignalBlocker quiet(m_bar);
    m_bar->removeTab(index);
}

void TabsView::showCurrent()
{
    const QSignalBlocker quiet(m_bar);
    m_bar->setCurrentIndex(m_documents.currentIndex());
    m_bar->placeCloseButton();
}

void TabsView::showLabels()
{
    const QStringList labels = m_documents.labels();
    for (int i = 0; i < qMin(int(labels.size()), m_bar->count()); ++i) {
        if (m_bar->tabText(i) != labels[i]) {
            m_bar->setTabText(i, labels[i]);
            m_bar->setTabToolTip(i, FileName::shownPath(m_documents.at(i).fileName()));
        }
    }
}

void TabsView::layout(QWidget &box, int top)
{
    const bool shown = m_documents.count() > 1;
    m_bar->setVisible(shown);
    if (shown) {
        // Its full width also before the window is first shown: a session
        // restored into a wide window would otherwise show one clipped tab.
        m_bar->setGeometry(0, top, m_client.width(), m_bar->sizeHint().height());
        top += m_bar->height();
    }
    box.setGeometry(0, top, m_client.width(), qMax(0, m_client.height() - top));
}

bool TabsView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (const int at = m_bar->tabAt(mouse->position().toPoint()); mouse->button() == Qt::MiddleButton && at >= 0) {
            m_close(at);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
