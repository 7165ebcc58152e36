#include "FakePrompts.h"

#include "editor/MemoryClipboard.h"
#include "editor/MemoryEditBox.h"
#include "editor/QuickSearch.h"

#include <QTest>

class tst_QuickSearch : public QObject
{
    Q_OBJECT

private slots:
    void findInDocument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("found");
        QTest::newRow("at the first character") << "gamma 1" << "gamma" << 0;
        QTest::newRow("capitals find small letters") << "gamma 1" << "GAMMA" << 0;
        QTest::newRow("inside a longer word, first of two") << "cl_updaterate 20\r\nrate 1" << "rate" << 9;
        QTest::newRow("after line breaks counting two") << "a\r\n\r\nrate" << "RATE" << 5;
        QTest::newRow("letters beyond ASCII") << "\u00e9\u0161\u0153\u017e\u00ff\u00e6\u00f0" << "\u00c9\u0160\u0152\u017d\u0178\u00c6\u00d0" << 0;
        QTest::newRow("missing") << "gamma 1" << "sensitivity" << -1;
        QTest::newRow("empty") << "gamma 1" << "" << -1;
    }

    void findInDocument()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(int, found);
        MemoryClipboard clipboard;
        MemoryEditBox box(clipboard);
        FakePrompts prompts;
        box.setText(text);
        box.setSelStart(1);
        box.setSelLength(2);
        QCOMPARE(FindInDocument(box, prompts, search), found);
        QCOMPARE(box.SelStart(), found >= 0 ? found : 1);
        QCOMPARE(box.SelLength(), found >= 0 ? int(search.size()) : 2);
        const QStringList told = found >= 0 || search.isEmpty() ? QStringList()
                                                                 : QStringList{"Not Found: Could not find " + search};
        QCOMPARE(prompts.messages, told);
    }
};

QTEST_GUILESS_MAIN(tst_QuickSearch)
#include "tst_QuickSearch.moc"
