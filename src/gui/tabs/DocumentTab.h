#pragma once

#include "documents/OpenDocuments.h"
#include "documents/RecoverySchedule.h"
#include "undo/clsUndo.h"

#include <memory>

class QObject;
class QTimer;
class RichTextBox;
class SyntaxColours;

// One document of the main window as its tab shows it: the open document
// with its box, undo history, colours and alias index, and the timer that
// keeps its recovery copy. The window makes and wires it; the widgets are
// the window's children and go with the tab.
struct DocumentTab : OpenDocument
{
    // The box is the window's; owner is what the box's signals were wired to.
    DocumentTab(RichTextBox &box, Prompts &prompts, QObject &owner);
    ~DocumentTab() override;

    RichTextBox *box = nullptr;
    SyntaxColours *colours = nullptr;
    std::unique_ptr<clsUndo> undo;
    QTimer *recoveryTimer = nullptr;
    std::unique_ptr<RecoverySchedule> recoverySchedule;
    // The label shows the modified mark.
    bool markShown = false;

private:
    QObject &m_owner;
};
