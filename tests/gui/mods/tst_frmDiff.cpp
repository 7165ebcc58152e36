#include "gui/mods/frmDiff.h"

#include <QPushButton>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

class tst_frmDiff : public QObject
{
    Q_OBJECT

    // The background of each line of a view: "-" red, "+" green, "." none, " " a gap.
    static QString colours(const frmDiff &dialog, const char *view)
    {
        QString marks;
        const auto *edit = dialog.findChild<QPlainTextEdit *>(QString::fromLatin1(view));
        for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next()) {
            const QTextBlockFormat format = b.blockFormat();
            if (!format.hasProperty(QTextFormat::BackgroundBrush))
                marks += u'.';
            else
                marks += format.background().color().red() > format.background().color().green() ? u'-'
                    : format.background().color().green() > format.background().color().red()   ? u'+'
                                                                                                 : u' ';
        }
        return marks;
    }

private slots:
    void viewsShowTheDifference_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("unified");
        QTest::addColumn<QString>("unifiedColours");
        QTest::addColumn<QString>("leftColours");
        QTest::addColumn<QString>("rightColours");
        QTest::newRow("one line changed") << "a\r\nb\r\nc\r\n" << "a\nB\nc\n"
                                          << "   1    1   a\n   2      - b\n        2 + B\n   3    3   c"
                                          << ".-+." << ".-." << ".+.";
        QTest::newRow("lines added") << "a" << "a\nb\nc" << "   1    1   a\n        2 + b\n        3 + c" << ".++" << ".  " << ".++";
        QTest::newRow("file missing") << "" << "bind w +forward" << "        1 + bind w +forward" << "+" << " " << "+";
    }
    // The views hold each text's lines, numbered, the changed ones coloured
    // and the gaps of the other side greyed, so the two sides line up.
    void viewsShowTheDifference()
    {
        QFETCH(QString, current);
        QFETCH(QString, version);
        QFETCH(QString, unified);
        QFETCH(QString, unifiedColours);
        QFETCH(QString, leftColours);
        QFETCH(QString, rightColours);
        frmDiff dialog("Swap?", "Now", current, "Backup", version);
        QCOMPARE(dialog.unifiedText(), unified);
        QCOMPARE(colours(dialog, "txtUnified"), unifiedColours);
        QCOMPARE(colours(dialog, "txtLeft"), leftColours);
        QCOMPARE(colours(dialog, "txtRight"), rightColours);
        QVERIFY(dialog.sideTexts()[1].contains(QStringLiteral("   1  ") + version.left(1)));
        // Enter must not swap the versions.
        QVERIFY(dialog.findChild<QPushButton *>("cmdCancel")->isDefault());
    }
};

QTEST_MAIN(tst_frmDiff)
#include "tst_frmDiff.moc"
