#pragma once

#include "documents/DocumentCommands.h"
#include "documents/RecoverySchedule.h"
#include "undo/clsUndo.h"

#include <memory>

class QTimer;
class RichTextBox;
class SyntaxColours;

// One document of the main window: its box, undo history, colours and alias
// index, file and disk stamp, and the timer that keeps its recovery copy.
// The window makes and wires it; the widgets are the window's children.
struct DocumentTab
{
    RichTextBox *box = nullptr;
    SyntaxColours *colours = nullptr;
    std::unique_ptr<clsUndo> undo;
    std::unique_ptr<DocumentCommands> commands;
    QTimer *recoveryTimer = nullptr;
    std::unique_ptr<RecoverySchedule> recoverySchedule;
    // The label shows the modified mark.
    bool markShown = false;

    // Unmodified, with no file and no text: what an opened file takes the place of.
    bool isBlank() const;
    // The file's identity (fileIdentity), resolved once for each file name:
    // looking for an open file then costs no trip to the disk for each tab.
    const QString &fileIdentity() const;

private:
    mutable QString m_identityOf;
    mutable QString m_identity;
};
