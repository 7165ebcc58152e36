#include "dialogs/frmAbout.h"
#include "dialogs/frmAss.h"
#include "dialogs/frmScriptwiz.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

QStringList items(const QComboBox *list)
{
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->itemText(i);
    return all;
}

} // namespace

class tst_frmDialogs : public QObject
{
    Q_OBJECT

    QStringList m_inserted;
    QList<QPair<bool, QString>> m_told;

    std::unique_ptr<QDialog> make(const QString &form)
    {
        if (form == u"frmAbout")
            return std::make_unique<frmAbout>(QStringLiteral("1.0.0"), [this] { m_inserted << QStringLiteral("page"); });
        if (form == u"frmScriptwiz")
            return std::make_unique<frmScriptwiz>([this](const QString &text) { m_inserted << text; });
        return std::make_unique<frmAss>([] { return Result<QString>(QStringLiteral("done")); },
                                        [this](bool ok, const QString &line) { m_told.append({ok, line}); });
    }

    template<typename T = QWidget>
    static T *control(QWidget *form, const char *name)
    {
        auto *found = form->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

private slots:
    void init()
    {
        m_inserted.clear();
        m_told.clear();
    }

    // Twips at 15 to the pixel, each in its container.
    void layout_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("about client") << "frmAbout" << "" << "" << "About Tessary" << QRect(0, 0, 425, 265);
        QTest::newRow("Label1") << "frmAbout" << "Label1" << "frmAbout" << "Tessary" << QRect(11, 12, 326, 41);
        QTest::newRow("Label4") << "frmAbout" << "Label4" << "frmAbout" << "Shoutouts:" << QRect(11, 107, 59, 16);
        QTest::newRow("txtShout") << "frmAbout" << "txtShout" << "frmAbout" << "" << QRect(11, 125, 402, 94);
        QTest::newRow("cmdOk") << "frmAbout" << "cmdOk" << "frmAbout" << "Ok" << QRect(332, 228, 76, 25);
        QTest::newRow("Label5") << "frmAbout" << "Label5" << "frmAbout" << "" << QRect(19, 240, 142, 18);
        QTest::newRow("lblVersion") << "frmAbout" << "lblVersion" << "frmAbout" << "v 1.00" << QRect(332, 25, 68, 25);
        QTest::newRow("wizard client") << "frmScriptwiz" << "" << "" << "Script Wizard" << QRect(0, 0, 521, 324);
        QTest::newRow("fraScript") << "frmScriptwiz" << "fraScript" << "frmScriptwiz" << "Script Type" << QRect(9, 9, 79, 60);
        QTest::newRow("optBind") << "frmScriptwiz" << "optBind" << "fraScript" << "Bind" << QRect(13, 18, 47, 19);
        QTest::newRow("optAlias") << "frmScriptwiz" << "optAlias" << "fraScript" << "Alias" << QRect(13, 35, 45, 19);
        QTest::newRow("fraKey") << "frmScriptwiz" << "fraKey" << "frmScriptwiz" << "Key" << QRect(93, 9, 161, 60);
        QTest::newRow("cboKey") << "frmScriptwiz" << "cboKey" << "fraKey" << "" << QRect(10, 21, 134, 21);
        QTest::newRow("fraCommands") << "frmScriptwiz" << "fraCommands" << "frmScriptwiz" << "Commands" << QRect(9, 73, 245, 199);
        QTest::newRow("cboGame on the form") << "frmScriptwiz" << "cboGame" << "frmScriptwiz" << "" << QRect(98, 95, 138, 21);
        QTest::newRow("Label1") << "frmScriptwiz" << "Label1" << "fraCommands" << "Game Controls:" << QRect(9, 24, 77, 18);
        QTest::newRow("cboMouse") << "frmScriptwiz" << "cboMouse" << "fraCommands" << "" << QRect(90, 52, 138, 21);
        QTest::newRow("Label2") << "frmScriptwiz" << "Label2" << "fraCommands" << "Mouse Settings:" << QRect(10, 53, 77, 18);
        QTest::newRow("cboAudio") << "frmScriptwiz" << "cboAudio" << "fraCommands" << "" << QRect(90, 81, 138, 21);
        QTest::newRow("Label3") << "frmScriptwiz" << "Label3" << "fraCommands" << "Audio Settings:" << QRect(10, 82, 77, 18);
        QTest::newRow("ass client") << "frmAss" << "" << "" << "Settings" << QRect(0, 0, 114, 105);
        QTest::newRow("cmdAss") << "frmAss" << "cmdAss" << "frmAss" << "Associate With Files" << QRect(16, 12, 83, 43);
        QTest::newRow("cmdClose") << "frmAss" << "cmdClose" << "frmAss" << "Close" << QRect(17, 71, 83, 25);
    }
    void layout()
    {
        QFETCH(QString, form);
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        auto dialog = make(form);
        dialog->show();
        if (name.isEmpty()) {
            QCOMPARE(dialog->windowTitle(), caption);
            QCOMPARE(dialog->size(), geometry.size());
            QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
            QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            return;
        }
        QWidget *w = control(dialog.get(), name.toLatin1());
        QCOMPARE(w->parentWidget()->objectName(), container);
        QCOMPARE(w->geometry(), geometry);
        QString text = w->property("text").toString();
        if (text.isEmpty())
            text = w->property("title").toString();
        if (!caption.isEmpty())
            QCOMPARE(text, caption);
        if (caption.isEmpty() && !qobject_cast<QLabel *>(w))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(name));
    }

    void aboutBoxLifecycle()
    {
        auto about = make(QStringLiteral("frmAbout"));
        auto *link = control<QLabel>(about.get(), "Label5");
        QVERIFY(link->text().contains(QStringLiteral("color:#0000ff")));
        QVERIFY(link->font().underline());
        about->show();
        emit link->linkActivated(QStringLiteral("x"));
        QCOMPARE(m_inserted, QStringList{QStringLiteral("page")});
        QVERIFY(about->isVisible());

        QTest::mouseClick(control(about.get(), "cmdOk"), Qt::LeftButton);
        QVERIFY(!about->isVisible());

        // From the frame it goes for good.
        QPointer<QDialog> kept = about.release();
        kept->show();
        kept->close();
        QTRY_VERIFY(kept.isNull());
    }

    void scriptWizardLists()
    {
        auto wizard = make(QStringLiteral("frmScriptwiz"));
        const QStringList keys = items(control<QComboBox>(wizard.get(), "cboKey"));
        QCOMPARE(keys.size(), 106);
        QVERIFY(std::all_of(keys.begin(), keys.end(), [](const QString &k) { return k.size() >= 2 && k.endsWith(u' '); }));
        QCOMPARE(keys.mid(94), QStringList({", ", ". ", "/ ", "\\ ", "; ", "' ", "* ", "[ ", "] ", "- ", "= ", "~ "}));
        const QStringList game = items(control<QComboBox>(wizard.get(), "cboGame"));
        QCOMPARE(game.size(), 121);
        QCOMPARE(game.value(76), QStringLiteral("tell \"message\""));
        QCOMPARE(game.last(), QStringLiteral("weapon_tripmine"));
        const QStringList mouse = items(control<QComboBox>(wizard.get(), "cboMouse"));
        QCOMPARE(mouse.size(), 10);
        QCOMPARE(mouse.last(), QStringLiteral("zoom_sensitivity_ratio 1.200"));
        QCOMPARE(items(control<QComboBox>(wizard.get(), "cboAudio")), mouse);
    }

    void scriptWizardInsertsTheLine()
    {
        auto wizard = make(QStringLiteral("frmScriptwiz"));
        auto *dialog = static_cast<frmScriptwiz *>(wizard.get());
        auto pick = [&](const char *list, const QString &entry) {
            auto *combo = control<QComboBox>(dialog, list);
            combo->setCurrentIndex(combo->findText(entry));
            emit combo->activated(combo->currentIndex());
        };
        auto *insert = control<QPushButton>(dialog, "cmdInsert");
        dialog->show();
        QVERIFY(!insert->isEnabled());
        pick("cboKey", QStringLiteral("MOUSE1 "));
        pick("cboGame", QStringLiteral("+attack"));
        QCOMPARE(control<QLineEdit>(dialog, "txtLine")->text(), QStringLiteral("bind \"MOUSE1\" \"+attack\""));
        // A setting picked later replaces the command.
        pick("cboAudio", QStringLiteral("m_filter 0"));
        QCOMPARE(control<QComboBox>(dialog, "cboGame")->currentIndex(), -1);
        QTest::mouseClick(insert, Qt::LeftButton);
        QCOMPARE(m_inserted, QStringList{QStringLiteral("bind \"MOUSE1\" \"m_filter 0\"\r\n")});

        QTest::mouseClick(control(dialog, "optAlias"), Qt::LeftButton);
        QVERIFY(!insert->isEnabled());
        QTest::keyClicks(control(dialog, "txtName"), QStringLiteral("nofilter"));
        QCOMPARE(dialog->line(), QStringLiteral("alias nofilter \"m_filter 0\""));

        // Closed either way, it keeps its choices for the next time.
        QTest::mouseClick(control(dialog, "cmdClose"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        dialog->show();
        dialog->close();
        QCOMPARE(dialog->line(), QStringLiteral("alias nofilter \"m_filter 0\""));
    }

    void scriptWizardTabOrder()
    {
        auto wizard = make(QStringLiteral("frmScriptwiz"));
        QStringList chain;
        for (QWidget *w = control(wizard.get(), "optBind"); chain.size() < 10; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
        QCOMPARE(chain, QStringList({"optBind", "optAlias", "cboKey", "cboGame", "cboMouse", "cboAudio", "txtName",
                                     "txtLine", "cmdInsert", "cmdClose"}));
    }

    void associateWindow()
    {
        auto ass = make(QStringLiteral("frmAss"));
        ass->show();
        QTest::mouseClick(control(ass.get(), "cmdAss"), Qt::LeftButton);
        QCOMPARE(m_told, (QList<QPair<bool, QString>>{{true, QStringLiteral("done")}}));
        QTest::mouseClick(control(ass.get(), "cmdClose"), Qt::LeftButton);
        QVERIFY(!ass->isVisible());
    }
};

QTEST_MAIN(tst_frmDialogs)
#include "tst_frmDialogs.moc"
