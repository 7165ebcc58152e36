#include "core/editbox/EditBoxSuite.h"

#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "editbox/VirtualKey.h"

#include <QTest>

class tst_MemoryEditBox : public EditBoxSuite
{
    Q_OBJECT

    MemoryClipboard m_clipboard;

    MemoryEditBox &memoryBox() { return static_cast<MemoryEditBox &>(box()); }

protected:
    std::unique_ptr<EditBox> createBox() override { return std::make_unique<MemoryEditBox>(m_clipboard, 10); }
    Clipboard &clipboard() override { return m_clipboard; }
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text) override
    {
        memoryBox().pressKey(VirtualKey::fromQtKey(key, modifiers), VirtualKey::shiftState(modifiers), text);
    }
    void releaseMouse(Qt::MouseButton button) override
    {
        memoryBox().releaseMouse(button == Qt::RightButton ? 2 : button == Qt::MiddleButton ? 4 : 1, 0, 5, 5);
    }
};

QTEST_APPLESS_MAIN(tst_MemoryEditBox)
#include "tst_MemoryEditBox.moc"
