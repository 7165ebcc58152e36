#include "gui/dialogs/frmReplace.h"

#include "documents/Texts.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_frmReplace : public QObject
{
    Q_OBJECT

private slots:
    // What the window says about a search never widens it: a pasted page of
    // search text is cut, and can be read whole in the line's tooltip.
    void resultLineKeepsTheWindowsWidth_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("short") << 5;
        QTest::newRow("5,000 characters") << 5000;
        QTest::newRow("5,000 characters over lines") << -5000;
    }
    void resultLineKeepsTheWindowsWidth()
    {
        QFETCH(int, length);
        QString text(qAbs(length), u'w');
        for (qsizetype i = 40; length < 0 && i < text.size(); i += 40)
            text[i] = u'\n';
        const auto find = [](const QString &searched, SearchOptions) { return Texts::couldNotFind(searched); };
        const auto replace = [](const QString &searched, const QString &, SearchOptions) {
            return Texts::couldNotFind(searched);
        };
        frmReplace window(nullptr, {find, replace, replace});
        window.showWith(text);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int width = window.width();
        const int height = window.height();
        window.findChild<QPushButton *>(QStringLiteral("cmdFindNext"))->click();
        QCoreApplication::processEvents();
        auto *result = window.findChild<QLabel *>(QStringLiteral("lblResult"));
        QVERIFY(result->text().startsWith(QStringLiteral("Could not find w")));
        QCOMPARE(window.width(), width);
        QCOMPARE(window.height(), height);
        QVERIFY(result->fontMetrics().horizontalAdvance(result->text()) <= result->contentsRect().width());
        QCOMPARE(result->toolTip().isEmpty(), length == 5);
    }
};

QTEST_MAIN(tst_frmReplace)
#include "tst_frmReplace.moc"
