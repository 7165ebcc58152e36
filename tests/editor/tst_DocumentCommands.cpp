#include "FakePrompts.h"

#include "app/mdlVars.h"
#include "editor/DocumentCommands.h"
#include "editor/MemoryClipboard.h"
#include "editor/MemoryEditBox.h"

#include "FileHelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_DocumentCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    MemoryClipboard m_clipboard;
    std::unique_ptr<MemoryEditBox> m_box;
    std::unique_ptr<mdlVars> m_vars;
    std::unique_ptr<FakePrompts> m_prompts;
    std::unique_ptr<DocumentCommands> m_commands;
    int m_replaced = 0; // the text was replaced as a whole

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // The user types into the document.
    void edit(const QString &text)
    {
        m_box->setSelStart(m_box->TextLength());
        m_box->setSelText(text);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_box = std::make_unique<MemoryEditBox>(m_clipboard);
        m_vars = std::make_unique<mdlVars>();
        m_prompts = std::make_unique<FakePrompts>();
        m_commands = std::make_unique<DocumentCommands>(*m_vars, *m_box, *m_prompts);
        m_replaced = 0;
        m_commands->setDocumentReplacedHandler([this] { ++m_replaced; });
        writeAll(path("a.cfg"), "gamma 1\r\nrate 2\r\n");
    }

    void openLoadsAndNamesTheFile()
    {
        m_prompts->openPath = path("a.cfg");
        QVERIFY(m_commands->open());
        QCOMPARE(m_box->Text(), QStringLiteral("gamma 1\r\nrate 2"));
        QCOMPARE(m_vars->strFilename, path("a.cfg"));
        QVERIFY(!m_box->isModified());
        QCOMPARE(m_prompts->dialogTitles, QStringList{QStringLiteral("Open File...")});
        const QStringList filters = {"Config Files (*.cfg)", "(*.lst)", "(*.fgd)", "(*.gam)", "(*.txt)", "(*.ps)",
                                     "All Files (*.*)"};
        QCOMPARE(m_prompts->dialogFilters, filters);
        QCOMPARE(m_replaced, 1);
        m_commands->newDocument();
        QCOMPARE(m_replaced, 2);
    }

    void cancelledOpenChangesNothing()
    {
        m_vars->strFilename = QStringLiteral("/earlier.cfg");
        m_box->setText(QStringLiteral("kept"));
        m_box->setModified(false);
        QVERIFY(!m_commands->open());
        QCOMPARE(m_box->Text(), QStringLiteral("kept"));
        QCOMPARE(m_vars->strFilename, QStringLiteral("/earlier.cfg"));
        QVERIFY(m_prompts->errors.isEmpty());
        QCOMPARE(m_replaced, 0);
    }

    void unreadableFileIsReportedAndTextKept()
    {
        m_box->setText(QStringLiteral("kept"));
        m_box->setModified(false);
        m_prompts->openPath = path("missing.cfg");
        QVERIFY(!m_commands->open());
        QCOMPARE(m_box->Text(), QStringLiteral("kept"));
        QVERIFY(m_vars->strFilename.isEmpty());
        QCOMPARE(m_prompts->errors.size(), 1);
        QVERIFY(m_prompts->errors[0].contains(QStringLiteral("missing.cfg")));
        QCOMPARE(m_replaced, 0);
    }

    void saveAsLeavesTheCurrentFileAlone()
    {
        m_prompts->openPath = path("a.cfg");
        QVERIFY(m_commands->open());
        m_prompts->savePath = path("b.cfg");
        QVERIFY(m_commands->saveAs());
        QCOMPARE(readAll(path("b.cfg")), QByteArray("gamma 1\r\nrate 2\r\n"));
        // The Save As dialog started from the file opened last.
        QCOMPARE(m_prompts->dialogStartPaths.last(), path("a.cfg"));

        edit(QStringLiteral(" 3"));
        QVERIFY(m_commands->save());
        QCOMPARE(readAll(path("a.cfg")), QByteArray("gamma 1\r\nrate 2 3\r\n"));
        QCOMPARE(readAll(path("b.cfg")), QByteArray("gamma 1\r\nrate 2\r\n"));
        QCOMPARE(m_prompts->dialogTitles.size(), 2);
    }

    void saveWithoutFileNameAsksEveryTime()
    {
        edit(QStringLiteral("x"));
        m_prompts->savePath = path("new.cfg");
        QVERIFY(m_commands->save());
        QVERIFY(m_vars->strFilename.isEmpty());
        QVERIFY(m_commands->save());
        QCOMPARE(m_prompts->dialogTitles, (QStringList{"Save as...", "Save as..."}));
        QCOMPARE(m_prompts->dialogStartPaths.last(), path("new.cfg"));
    }

    void newClearsTheFileName()
    {
        m_prompts->openPath = path("a.cfg");
        QVERIFY(m_commands->open());
        m_commands->newDocument();
        QCOMPARE(m_box->Text(), QString());
        QVERIFY(m_vars->strFilename.isEmpty());
        edit(QStringLiteral("fresh"));
        m_prompts->savePath.clear();
        QVERIFY(!m_commands->save());
        QCOMPARE(m_prompts->dialogTitles.last(), QStringLiteral("Save as..."));
        QCOMPARE(readAll(path("a.cfg")), QByteArray("gamma 1\r\nrate 2\r\n"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("errors");
        QTest::newRow("quoted") << QStringLiteral("\"%1\"") << QStringLiteral("gamma 1\r\nrate 2") << 0;
        QTest::newRow("bare") << QStringLiteral("%1") << QStringLiteral("gamma 1\r\nrate 2") << 0;
        QTest::newRow("missing file") << QStringLiteral("\"%1.missing\"") << QString() << 1;
        QTest::newRow("empty quotes") << QStringLiteral("\"\"") << QString() << 0;
        QTest::newRow("one quote") << QStringLiteral("\"") << QString() << 1;
    }
    void commandLine()
    {
        QFETCH(QString, argument);
        QFETCH(QString, text);
        QFETCH(int, errors);
        m_commands->loadCommandLine(argument.contains(QStringLiteral("%1")) ? argument.arg(path("a.cfg")) : argument);
        QCOMPARE(m_box->Text(), text);
        QCOMPARE(m_prompts->errors.size(), errors);
        QVERIFY(m_vars->strFilename.isEmpty());
        QVERIFY(!m_box->isModified());
        // Save then asks for a name.
        QVERIFY(!m_commands->save());
        QCOMPARE(m_prompts->dialogTitles, QStringList{QStringLiteral("Save as...")});
    }

    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("savePath");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("written");
        QTest::newRow("cancel") << int(Prompts::SaveChoice::Cancel) << QString() << false << false;
        QTest::newRow("discard") << int(Prompts::SaveChoice::Discard) << QString() << true << false;
        QTest::newRow("save") << int(Prompts::SaveChoice::Save) << QStringLiteral("kept.cfg") << true << true;
        QTest::newRow("save, then cancel the dialog") << int(Prompts::SaveChoice::Save) << QString() << false << false;
    }
    void unsavedChangesAreAskedAbout()
    {
        QFETCH(int, choice);
        QFETCH(QString, savePath);
        QFETCH(bool, replaced);
        QFETCH(bool, written);
        edit(QStringLiteral("typed"));
        m_prompts->saveChoice = Prompts::SaveChoice(choice);
        m_prompts->savePath = savePath.isEmpty() ? QString() : path(savePath);
        m_prompts->openPath = path("a.cfg");

        QCOMPARE(m_commands->open(), replaced);
        QCOMPARE(m_prompts->saveChangesAsked, 1);
        QCOMPARE(m_box->Text(), replaced ? QStringLiteral("gamma 1\r\nrate 2") : QStringLiteral("typed"));
        QCOMPARE(QFile::exists(path("kept.cfg")), written);
        if (written)
            QCOMPARE(readAll(path("kept.cfg")), QByteArray("typed\r\n"));

        // New asks the same way.
        m_prompts->saveChangesAsked = 0;
        edit(QStringLiteral("more"));
        m_commands->newDocument();
        QCOMPARE(m_prompts->saveChangesAsked, 1);
    }

    void unchangedDocumentIsNotAskedAbout()
    {
        m_prompts->openPath = path("a.cfg");
        QVERIFY(m_commands->open());
        QVERIFY(m_commands->maybeSave());
        m_commands->newDocument();
        QVERIFY(m_commands->maybeSave());
        edit(QStringLiteral("x"));
        m_prompts->savePath = path("s.cfg");
        QVERIFY(m_commands->save());
        QVERIFY(m_commands->maybeSave());
        QCOMPARE(m_prompts->saveChangesAsked, 0);
    }

    void unstorableCharacterIsAskedAbout_data()
    {
        QTest::addColumn<bool>("saveAnyway");
        QTest::newRow("cancel") << false;
        QTest::newRow("save anyway") << true;
    }
    void unstorableCharacterIsAskedAbout()
    {
        QFETCH(bool, saveAnyway);
        m_prompts->openPath = path("a.cfg");
        QVERIFY(m_commands->open());
        edit(QStringLiteral("\r\nname \u0416enya"));
        m_prompts->saveAnyway = saveAnyway;
        QCOMPARE(m_commands->save(), saveAnyway);
        QCOMPARE(m_prompts->confirmations.size(), 1);
        QVERIFY(m_prompts->confirmations[0].contains(QStringLiteral("Line 3")));
        QVERIFY(m_prompts->confirmations[0].contains(QStringLiteral("\u0416")));
        QCOMPARE(readAll(path("a.cfg")),
                 saveAnyway ? QByteArray("gamma 1\r\nrate 2\r\nname ?enya\r\n") : QByteArray("gamma 1\r\nrate 2\r\n"));
        QCOMPARE(m_box->isModified(), !saveAnyway);
    }

    void failedSaveIsReportedAndDocumentStaysChanged()
    {
        edit(QStringLiteral("x"));
        m_prompts->savePath = path("no/such/folder/x.cfg");
        QVERIFY(!m_commands->save());
        QCOMPARE(m_prompts->errors.size(), 1);
        QVERIFY(m_prompts->errors[0].contains(QStringLiteral("x.cfg")));
        QVERIFY(m_box->isModified());
    }
};

QTEST_APPLESS_MAIN(tst_DocumentCommands)
#include "tst_DocumentCommands.moc"
