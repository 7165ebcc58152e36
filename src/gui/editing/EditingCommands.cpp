#include "gui/editing/EditingCommands.h"

#include "editbox/EditBox.h"
#include "undo/LineComments.h"

#include <QAction>
#include <QMenu>

EditingCommands::EditingCommands(QMenu &editMenu, Places places, QObject *parent)
    : QObject(parent), m_places(std::move(places))
{
    editMenu.addSeparator();
    mnuToggleComment = editMenu.addAction(tr("Toggle Co&mment"));
    mnuToggleComment->setObjectName(QStringLiteral("mnuToggleComment"));
    mnuToggleComment->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Slash));
    connect(mnuToggleComment, &QAction::triggered, this, &EditingCommands::toggleComment);
    mnuBack = editMenu.addAction(tr("Go &Back"));
    mnuBack->setObjectName(QStringLiteral("mnuBack"));
    mnuBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    connect(mnuBack, &QAction::triggered, this, &EditingCommands::goBack);
    mnuForward = editMenu.addAction(tr("Go For&ward"));
    mnuForward->setObjectName(QStringLiteral("mnuForward"));
    mnuForward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(mnuForward, &QAction::triggered, this, &EditingCommands::goForward);
}

void EditingCommands::recordJump()
{
    if (m_places.here)
        m_history.recordJump(m_places.here());
}

void EditingCommands::toggleComment()
{
    if (m_box && m_undo)
        LineComments::toggle(*m_undo, *m_box);
}

void EditingCommands::goBack()
{
    go(true);
}

void EditingCommands::goForward()
{
    go(false);
}

// A place whose tab is gone without a file to open again is passed over.
void EditingCommands::go(bool back)
{
    if (!m_places.here || !m_places.goTo)
        return;
    for (;;) {
        const std::optional<JumpPlace> place = back ? m_history.back(m_places.here()) : m_history.forward(m_places.here());
        if (!place || m_places.goTo(*place))
            return;
    }
}
