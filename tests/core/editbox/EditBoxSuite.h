#pragma once

#include "editbox/EditBox.h"

#include <QObject>

#include <memory>

class Clipboard;

// The behaviour every edit box shares: each implementation's test derives
// from this and supplies a fresh box and a way to press its keys.
class EditBoxSuite : public QObject
{
    Q_OBJECT

protected:
    virtual std::unique_ptr<EditBox> createBox() = 0;
    virtual Clipboard &clipboard() = 0;
    // A key press as the user makes it; text is what the key types.
    virtual void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text) = 0;
    virtual void releaseMouse(Qt::MouseButton button) = 0;

    EditBox &box() { return *m_box; }

private slots:
    void init();
    void cleanup();

    void textRoundTrip_data();
    void textRoundTrip();
    void selection_data();
    void selection();
    void find_data();
    void find();
    void lineBeforeCaret_data();
    void lineBeforeCaret();
    void keyDownComesBeforeTheBoxActs_data();
    void keyDownComesBeforeTheBoxActs();
    void rightButtonRelease();
    void copyAndPaste();

private:
    std::unique_ptr<EditBox> m_box;
};
