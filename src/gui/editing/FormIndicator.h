#pragma once

#include "editbox/TextForm.h"

#include <QWidget>

class EditBox;
class QToolButton;
class clsUndo;

// The status bar's account of how the document is written: its encoding and
// its line ends, each a button that offers the others, and one that makes it
// the game's own form (Windows-1252, CR LF). Every change goes through the
// undo engine, so Undo takes it back and Save writes it. Its parent is the
// status bar, whose width it watches.
class FormIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit FormIndicator(QWidget *parent = nullptr);

    // The current tab's box and engine.
    void setBox(EditBox &box, clsUndo &undo);
    // Shows the box's form again (after an edit, an undo, a load).
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();
    void change(const TextForm &form, bool allLineEnds);

    EditBox *m_box = nullptr;
    clsUndo *m_undo = nullptr;
    QToolButton *m_encoding = nullptr;
    QToolButton *m_lineEnds = nullptr;
    QToolButton *m_game = nullptr;
};
