#include "gui/tabs/DocumentTab.h"

#include "gui/editbox/RichTextBox.h"
#include "gui/editbox/SyntaxColours.h"

#include <QTimer>

DocumentTab::DocumentTab(RichTextBox &box, Prompts &prompts, QObject &owner)
    : OpenDocument(box, prompts), box(&box), m_owner(owner)
{
}

DocumentTab::~DocumentTab()
{
    box->setChangeHandler({});
    box->disconnect(&m_owner);
    box->hide();
    // Its colours go first, while the box is whole; the key or click that
    // closed the tab may still be on its way through the box.
    delete colours;
    box->deleteLater();
    delete recoveryTimer;
}
