#include "core/store/FakeModPrompts.h"

#include "settings/mdlVars.h"
#include "gui/mods/frmAddmod.h"
#include "gui/mods/frmSettings.h"
#include "gui/window/frmTessary.h"
#include "store/PendingAdds.h"
#include "store/StoreCommands.h"
#include "settings/Settings.h"

#include "FileHelpers.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_frmSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mdlVars> m_vars;
    FakeModPrompts m_prompts;
    int m_saves = 0;
    std::unique_ptr<frmSettings> m_frm;

    QString program() const { return m_dir->filePath("prog"); }
    QString game() const { return m_dir->filePath("game"); }

    template<typename T = QWidget>
    static T *control(QWidget *form, const char *name)
    {
        T *found = form->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QListWidget *list(const char *name) const { return control<QListWidget>(m_frm.get(), name); }
    static QStringList lines(QListWidget *list)
    {
        QStringList texts;
        // A file line shows the copy's date; its file name is kept beside.
        for (int i = 0; i < list->count(); ++i) {
            const QVariant file = list->item(i)->data(Qt::UserRole);
            texts << (file.isValid() ? file.toString() : list->item(i)->text());
        }
        return texts;
    }

    void open()
    {
        m_frm = std::make_unique<frmSettings>(*m_vars, program(), m_prompts, [this] {
            ++m_saves;
            return Status::success();
        });
        m_frm->show();
    }

    frmAddmod *addMod(const QString &name, const QString &folder)
    {
        QTimer::singleShot(0, this, [&] {
            frmAddmod *add = m_frm->addDialog();
            control<QLineEdit>(add, "txtModname")->setText(name);
            control<QLineEdit>(add, "txtModdir")->setText(folder);
            add->cmdOk_Click();
            if (add->isVisible())
                add->cmdCancel_Click();
        });
        m_frm->cmdAddmod_Click();
        return m_frm->addDialog();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(program()));
        QVERIFY(QDir().mkpath(game()));
        m_vars = std::make_unique<mdlVars>();
        m_prompts = FakeModPrompts();
        m_saves = 0;
    }

    void cleanup() { m_frm.reset(); }

    // No button takes Enter, the add dialog's neither.
    void noDefaultButton()
    {
        open();
        addMod(QString(), QString()); // makes the add dialog
        for (QPushButton *button : m_frm->findChildren<QPushButton *>())
            QVERIFY(!button->autoDefault() && !button->isDefault());
    }

    // Lines stand for their own slots, whatever gaps the table has, so a
    // click and a restore always work on the mod that was clicked.
    void linesFollowSlots()
    {
        m_vars->strModName[1] = "a";
        m_vars->strModName[3] = "b";
        m_vars->strModDir[1] = m_dir->filePath("missing");
        m_vars->strModDir[3] = game();
        m_vars->strBackupFile[0] = "config.cfg";
        m_vars->strBackupMod[0] = "a";
        m_vars->strBackupFile[5] = "config.cfg";
        m_vars->strBackupMod[5] = "b";
        QVERIFY(QDir().mkpath(program() + "/b"));
        writeAll(program() + "/b/config.cfg", "old");
        writeAll(game() + "/config.cfg", "new");
        open();
        QCOMPARE(lines(list("lstMods")), QStringList({"a", "b"}));
        QCOMPARE(lines(list("lstFiles")), QStringList());
        m_frm->cmdRestore_Click(); // nothing selected: nothing happens
        list("lstMods")->setCurrentRow(1);
        QCOMPARE(lines(list("lstFiles")), QStringList{"config.cfg"});
        m_frm->cmdRestore_Click(); // a mod but no file
        QCOMPARE(readAll(game() + "/config.cfg"), "new");
        list("lstFiles")->setCurrentRow(0);
        m_frm->cmdRestore_Click();
        QCOMPARE(readAll(game() + "/config.cfg"), "old");
        QCOMPARE(m_prompts.errors, QStringList());
        list("lstMods")->setCurrentRow(0); // mod a's folder is gone: told, nothing changed
        list("lstFiles")->setCurrentRow(0);
        m_frm->cmdRestore_Click();
        QCOMPARE(m_prompts.errors.size(), 1);
        QCOMPARE(readAll(game() + "/config.cfg"), "old");
    }

    // Add offers the open file's game folder and its name, and Enter is Ok;
    // the mod added is listed and chosen. Refused (which adds are:
    // tst_ModStore), an add is told and the lists stay.
    void addOffersListsAndSelectsTheMod()
    {
        writeAll(game() + "/motd.txt", "m");
        writeAll(game() + "/config.cfg", "c");
        m_vars->strModName[0] = "first";
        open();
        list("lstMods")->setCurrentRow(0);
        m_frm->setSuggestedFolder(game());
        QString name, folder;
        QTimer::singleShot(0, this, [&] {
            frmAddmod *add = m_frm->addDialog();
            name = control<QLineEdit>(add, "txtModname")->text();
            folder = control<QLineEdit>(add, "txtModdir")->text();
            QTest::keyClick(control<QLineEdit>(add, "txtModname"), Qt::Key_Return);
            if (add->isVisible())
                add->cmdCancel_Click();
        });
        m_frm->cmdAddmod_Click();
        QCOMPARE(name, QStringLiteral("game"));
        QCOMPARE(folder, QDir::toNativeSeparators(game()));
        QCOMPARE(lines(list("lstMods")), QStringList({"first", "game"}));
        QCOMPARE(list("lstMods")->currentRow(), 1);
        QCOMPARE(lines(list("lstFiles")), QStringList({"config.cfg", "motd.txt"}));
        addMod("third", game() + "/");
        QCOMPARE(m_prompts.errors.size(), 1);
        QCOMPARE(lines(list("lstMods")), QStringList({"first", "game"}));
    }

    // Cancel takes back the mods added since "Ok"; Del removes the selected
    // one after asking, and the file lines show each copy's date.
    void cancelTakesBackDelRemoves()
    {
        writeAll(game() + "/config.cfg", "c");
        open();
        addMod("first", game());
        m_frm->cmdOk_Click();
        m_frm->show();
        QVERIFY(list("lstFiles")->item(0)->text().contains(StoreCommands::copyDate(program(), "first", "config.cfg")));
        QVERIFY(QDir().mkpath(game() + "2"));
        writeAll(game() + "2/config.cfg", "c");
        addMod("second", game() + "2");
        QVERIFY(QFileInfo::exists(program() + "/second/config.cfg"));
        m_frm->cmdCancel_Click();
        QVERIFY(!QFileInfo::exists(program() + "/second"));
        QCOMPARE(lines(list("lstMods")), QStringList{"first"});
        m_frm->show();
        list("lstMods")->setCurrentRow(0);
        m_prompts.answers = {true, false};
        m_frm->findChild<QPushButton *>("cmdDelmod")->click();
        QCOMPARE(lines(list("lstMods")), QStringList());
        QCOMPARE(m_saves, 2);
        QVERIFY(QFileInfo::exists(program() + "/first/config.cfg"));
    }

    // An add kept pending after "Ok" could not save is saved by the main
    // window's save at close; the next start keeps it and its copy.
    void pendingAddSavedAtClose()
    {
        writeAll(game() + "/config.cfg", "new");
        QVERIFY(QDir().mkpath(program() + "/m"));
        writeAll(program() + "/m/config.cfg", "old copy");
        mdlVars vars;
        auto main = std::make_unique<frmTessary>(vars, program());
        QTimer answer; // "Yes" to replacing the old copy; every message read
        connect(&answer, &QTimer::timeout, this, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->done(0);
        });
        answer.start(20);
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<frmSettings *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTimer::singleShot(0, this, [&, dialog] {
                frmAddmod *add = dialog->addDialog();
                control<QLineEdit>(add, "txtModname")->setText("m");
                control<QLineEdit>(add, "txtModdir")->setText(game());
                add->cmdOk_Click();
            });
            dialog->cmdAddmod_Click();
            // data.dat cannot be written just now: Ok keeps the add pending.
            QVERIFY(QFile::remove(program() + "/data.dat") && QDir().mkdir(program() + "/data.dat"));
            dialog->cmdOk_Click();
        });
        main->mnuBackups_Click();
        QCOMPARE(QDir(program()).entryList({"*.pending-add"}).size(), 1);
        QVERIFY(QDir().rmdir(program() + "/data.dat"));
        main->close();
        main.reset();

        QCOMPARE(QDir(program()).entryList({"*.pending-add"}), QStringList());
        mdlVars next;
        QVERIFY(LoadSettings(next, program()));
        QCOMPARE(next.strModName[0], QString("m"));
        QVERIFY(PendingAdds::recoverAbandoned(program(), next));
        QCOMPARE(readAll(program() + "/m/config.cfg"), "new");
    }

    // Back Up adds dated versions, listed newest first with the newest
    // chosen; Restore takes the chosen one, shows the difference first and
    // names the restored file for the editor.
    void versionsListedAndRestored()
    {
        QVERIFY(QDir().mkpath(game()));
        writeAll(game() + "/userconfig.cfg", "one");
        open();
        addMod("m", game());
        for (const char *text : {"two", "three"}) {
            writeAll(game() + "/userconfig.cfg", text);
            QTest::qWait(5); // versions a few milliseconds apart
            m_frm->findChild<QPushButton *>("cmdBackup")->click();
        }
        QCOMPARE(m_prompts.listed, QList<QStringList>(3, QStringList{"userconfig.cfg"}));
        list("lstFiles")->setCurrentRow(0);
        QListWidget *versions = list("lstVersions");
        QCOMPARE(versions->count(), 3);
        QCOMPARE(versions->currentRow(), 0);
        QVERIFY(versions->item(0)->text().endsWith("(newest)"));
        QVERIFY(versions->item(0)->text() >= versions->item(2)->text());

        QStringList restored;
        m_frm->setRestoredHandler([&](const QString &path, const QDateTime &) { restored << path; });
        versions->setCurrentRow(2);
        m_frm->cmdRestore_Click();
        QCOMPARE(readAll(game() + "/userconfig.cfg"), "one");
        QCOMPARE(m_prompts.differences, QList<QStringList>({{"three", "one"}}));
        QCOMPARE(restored, QStringList{game() + "/userconfig.cfg"});
        QCOMPARE(versions->count(), 3); // the file was the newest version already
        QCOMPARE(versions->currentRow(), 0);
        m_frm->cmdRestore_Click(); // the newest: undone
        QCOMPARE(readAll(game() + "/userconfig.cfg"), "three");
        QCOMPARE(m_prompts.errors, QStringList());
    }
};

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
