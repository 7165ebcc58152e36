#include "gui/dialogs/frmAss.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QTest>

class tst_frmDialogs : public QObject
{
    Q_OBJECT

private slots:
    void associateWindow_data()
    {
        QTest::addColumn<QStringList>("ticked"); // besides the game's own
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("text files ticked") << QStringList{"txt"} << true
                                           << QStringList{"cfg", "lst", "fgd", "gam", "txt"};
        QTest::newRow("cancelled") << QStringList{"txt", "ps"} << false << QStringList();
    }

    // The user sees every type first; the generic ones change only when ticked.
    void associateWindow()
    {
        QFETCH(QStringList, ticked);
        QFETCH(bool, confirmed);
        QFETCH(QStringList, changed);
        QStringList chosen;
        int told = 0;
        frmAss ass(
            [&chosen](const QList<FileTypes::FileType> &types) {
                for (const FileTypes::FileType &type : types)
                    chosen << QString::fromLatin1(type.extension);
                return Result<QString>(QStringLiteral("done"));
            },
            [&told](bool, const QString &) { ++told; });
        ass.show();
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            auto *chooser = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            for (QCheckBox *box : chooser->findChildren<QCheckBox *>())
                shown << box->text().section(u' ', 0, 0);
            for (const QString &extension : ticked)
                chooser->findChild<QCheckBox *>("chk" + extension)->setChecked(true);
            confirmed ? chooser->accept() : chooser->reject();
        });
        QTest::mouseClick(ass.findChild<QWidget *>(QStringLiteral("cmdAss")), Qt::LeftButton);
        QCOMPARE(shown, (QStringList{".cfg", ".lst", ".fgd", ".gam", ".txt", ".ps"}));
        QCOMPARE(chosen, changed);
        QCOMPARE(told, confirmed ? 1 : 0);
    }
};

QTEST_MAIN(tst_frmDialogs)
#include "tst_frmDialogs.moc"
