#include "gui/dialogs/frmAss.h"
#include "gui/dialogs/frmScriptwiz.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class tst_frmDialogs : public QObject
{
    Q_OBJECT

    QStringList m_inserted;
    QList<QPair<bool, QString>> m_told;
    QStringList m_chosen; // extensions handed to the association

    std::unique_ptr<QDialog> make(const QString &form)
    {
        if (form == u"frmScriptwiz")
            return std::make_unique<frmScriptwiz>([this](const QString &text) { m_inserted << text; });
        return std::make_unique<frmAss>(
            [this](const QList<FileTypes::FileType> &chosen) {
                for (const FileTypes::FileType &type : chosen)
                    m_chosen << QString::fromLatin1(type.extension);
                return Result<QString>(QStringLiteral("done"));
            },
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
    }

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
        m_chosen.clear();
        m_told.clear();
        auto ass = make(QStringLiteral("frmAss"));
        ass->show();
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            auto *chooser = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            for (QCheckBox *box : chooser->findChildren<QCheckBox *>())
                shown << box->text().section(u' ', 0, 0);
            for (const QString &extension : ticked)
                control<QCheckBox>(chooser, qPrintable("chk" + extension))->setChecked(true);
            confirmed ? chooser->accept() : chooser->reject();
        });
        QTest::mouseClick(control(ass.get(), "cmdAss"), Qt::LeftButton);
        QCOMPARE(shown, (QStringList{".cfg", ".lst", ".fgd", ".gam", ".txt", ".ps"}));
        QCOMPARE(m_chosen, changed);
        QCOMPARE(m_told.size(), confirmed ? 1 : 0);
    }
};

QTEST_MAIN(tst_frmDialogs)
#include "tst_frmDialogs.moc"
