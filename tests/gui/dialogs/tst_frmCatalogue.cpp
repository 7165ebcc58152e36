#include "catalogue/CatalogueFamily.h"
#include "gui/dialogs/frmCatalogue.h"

#include <QCheckBox>
#include <QTest>

class tst_frmCatalogue : public QObject
{
    Q_OBJECT

private slots:
    // Every family has a box, ticked unless switched off; what the player
    // unticks comes back as switched off, an unknown id is dropped.
    void boxesFollowTheFamiliesOff()
    {
        frmCatalogue dialog({QStringLiteral("bxt"), QStringLiteral("gone")}, {{QStringLiteral("bxt"), 1}});
        const auto boxes = dialog.findChildren<QCheckBox *>();
        QCOMPARE(boxes.size(), qsizetype(CatalogueFamilies::all().size()));
        auto *bxt = dialog.findChild<QCheckBox *>(QStringLiteral("chkbxt"));
        QVERIFY(bxt && !bxt->isChecked());
        QVERIFY(bxt->text().endsWith(QStringLiteral("(1 entry)")));
        QCOMPARE(dialog.familiesOff(), QStringList{"bxt"});
        dialog.findChild<QCheckBox *>(QStringLiteral("chkserver"))->setChecked(false);
        bxt->setChecked(true);
        QCOMPARE(dialog.familiesOff(), QStringList{"server"});
    }
};

QTEST_MAIN(tst_frmCatalogue)
#include "tst_frmCatalogue.moc"
