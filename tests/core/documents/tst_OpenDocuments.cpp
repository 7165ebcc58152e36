#include "core/documents/FakePrompts.h"

#include "documents/OpenDocuments.h"
#include "documents/RecoveryStore.h"
#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Box
{
    explicit Box(Clipboard &clipboard) : memory(clipboard) {}
    MemoryEditBox memory;
};

// A document in memory, as the window's tab is one on screen.
struct MemoryDocument : Box, OpenDocument
{
    MemoryDocument(Clipboard &clipboard, Prompts &prompts) : Box(clipboard), OpenDocument(memory, prompts) {}
};

} // namespace

// Every rule of the open documents, each row a script of what the user does
// and what the tabs, the files and the saved session are afterwards.
class tst_OpenDocuments : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    MemoryClipboard m_clipboard;
    std::unique_ptr<FakePrompts> m_prompts;
    std::unique_ptr<RecoveryStore> m_recovery;
    std::unique_ptr<OpenDocuments> m_documents;
    QList<QStringList> m_sessions; // each session told, in order
    int m_added = 0;
    int m_removed = 0;

    QString path(const QString &name) const { return QDir::cleanPath(m_dir->filePath(name)); }

    QStringList tabs() const
    {
        QStringList shown = m_documents->labels();
        shown[m_documents->currentIndex()].prepend(u'>');
        return shown;
    }

    // A copy left by an editor that did not end, of the named file (or of an Untitled one).
    void leaveCopy(const QString &name, const QString &text)
    {
        RecoveryStore crashed(m_dir->filePath(QStringLiteral("data")));
        QVERIFY(crashed.open().ok());
        static int slot = 0;
        QVERIFY(crashed.write(name == u'-' ? QString() : path(name), {}, text, ++slot).ok());
    }

    void run(const QString &step)
    {
        const QStringList words = step.split(u' ');
        const QString &verb = words[0];
        const QString arg = words.value(1);
        OpenDocument &current = *m_documents->current();
        if (verb == u"open") {
            m_documents->open(path(arg));
        } else if (verb == u"new") {
            m_documents->addBlank();
        } else if (verb == u"type") {
            current.editBox().setSelStart(current.editBox().TextLength());
            current.editBox().setSelText(arg);
        } else if (verb == u"save") {
            m_prompts->savePath = path(arg);
            current.commands->save();
        } else if (verb == u"saveas") {
            m_prompts->savePath = path(arg);
            current.commands->saveAs();
        } else if (verb == u"close") {
            m_documents->close(arg.toInt());
        } else if (verb == u"front") {
            m_documents->setCurrent(arg.toInt());
        } else if (verb == u"move") {
            m_documents->move(arg.toInt(), words.value(2).toInt());
        } else if (verb == u"yes" || verb == u"no") {
            m_prompts->yes = verb == u"yes";
        } else if (verb == u"answer") {
            const auto choice = arg == u"save" ? Prompts::SaveChoice::Save
                                : arg == u"discard" ? Prompts::SaveChoice::Discard : Prompts::SaveChoice::Cancel;
            m_prompts->saveChoice = m_prompts->saveAllChoice = choice;
            m_prompts->savePath = path(words.value(2));
        } else if (verb == u"closing") {
            m_prompts->notices << (m_documents->maybeSaveAll() ? QStringLiteral("closes") : QStringLiteral("stays"));
        } else if (verb == u"saveall") {
            m_documents->saveAll();
        } else if (verb == u"crashed") {
            leaveCopy(arg, words.value(2));
        } else if (verb == u"recover") {
            m_prompts->recoveryChoice = Prompts::RecoveryChoice::Restore;
            m_documents->offerRecovery();
        } else if (verb == u"session") {
            // Saved at the last closing; the files after the first word, the one in front first.
            QStringList files;
            for (const QString &name : words.mid(1))
                files << path(name);
            QStringList missing = m_documents->beginSession(files, 0, true);
            for (QString &file : missing)
                file = QFileInfo(file).fileName();
            if (!missing.isEmpty())
                m_prompts->notices << QStringLiteral("missing ") + missing.join(u' ');
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        for (const char *name : {"a.cfg", "b.cfg", "c.cfg"})
            writeAll(path(QString::fromLatin1(name)), QByteArray(name) + "\r\n");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("cstrike")));
        writeAll(path(QStringLiteral("cstrike/a.cfg")), "cstrike\r\n");
        m_prompts = std::make_unique<FakePrompts>();
        m_documents.reset();
        m_recovery = std::make_unique<RecoveryStore>(m_dir->filePath(QStringLiteral("data")));
        QVERIFY(m_recovery->open().ok());
        m_documents = std::make_unique<OpenDocuments>(*m_prompts, [this] {
            return std::make_unique<MemoryDocument>(m_clipboard, *m_prompts);
        });
        m_sessions.clear();
        m_added = m_removed = 0;
        OpenDocuments::Views views;
        views.added = [this](OpenDocument &) { ++m_added; };
        views.removing = [this](int index, OpenDocument &document) {
            // Never the one in front: the views have moved on to another.
            QVERIFY(&document != m_documents->current());
            QCOMPARE(&m_documents->at(index), &document);
            ++m_removed;
        };
        views.sessionChanged = [this](const QStringList &files, int current) {
            QStringList names;
            for (const QString &file : files)
                names << QDir(m_dir->path()).relativeFilePath(file);
            if (!names.isEmpty())
                names[current].prepend(u'>');
            m_sessions << names;
        };
        m_documents->setViews(std::move(views));
        m_documents->setRecoveryStore(m_recovery.get());
        m_documents->start();
    }

    // The store's lock goes before its folder.
    void cleanup()
    {
        m_documents.reset();
        m_recovery.reset();
        m_dir.reset();
    }

    void rules_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("tabs");     // labels afterwards, ">" before the one in front
        QTest::addColumn<QStringList>("said");     // questions and notices, in order
        QTest::addColumn<QStringList>("session");  // the session last told (empty: none told)
        QTest::addColumn<QStringList>("files");    // name=contents afterwards

        // One file, one tab.
        QTest::newRow("opening takes over the blank tab")
            << QStringList{"open a.cfg"} << QStringList{">a.cfg"} << QStringList() << QStringList() << QStringList();
        QTest::newRow("an open file by another path comes forward")
            << QStringList{"session a.cfg", "open b.cfg", "open ./cstrike/../a.cfg"} << QStringList{">a.cfg", "b.cfg"}
            << QStringList() << QStringList{">a.cfg", "b.cfg"} << QStringList();
        QTest::newRow("same names are told apart by their folders")
            << QStringList{"open a.cfg", "open cstrike/a.cfg"}
            << QStringList{"a.cfg (" + QStringLiteral("%DIR%") + ")", ">a.cfg (cstrike)"} << QStringList()
            << QStringList() << QStringList();
        QTest::newRow("a missing file opens no tab")
            << QStringList{"open a.cfg", "open gone.cfg"} << QStringList{">a.cfg"}
            << QStringList{"error"} << QStringList() << QStringList();
        QTest::newRow("New uses a blank tab in front")
            << QStringList{"new", "new", "open a.cfg", "new", "new"} << QStringList{"a.cfg", ">Untitled"}
            << QStringList() << QStringList() << QStringList();
        // Save As onto a file open in another tab: that tab goes, asked about when edited.
        QTest::newRow("Save As onto an unedited open file")
            << QStringList{"open a.cfg", "new", "type y", "saveas ./a.cfg"} << QStringList{">a.cfg"}
            << QStringList() << QStringList() << QStringList{"a.cfg=y\r\n"};
        QTest::newRow("Save As onto an edited open file, yes")
            << QStringList{"open a.cfg", "type x", "new", "type y", "yes", "saveas a.cfg"}
            << QStringList{">a.cfg"} << QStringList{"yesno"} << QStringList() << QStringList{"a.cfg=y\r\n"};
        QTest::newRow("Save As onto an edited open file, no")
            << QStringList{"open a.cfg", "type x", "new", "type y", "no", "saveas a.cfg"}
            << QStringList{"a.cfg*", ">Untitled*"} << QStringList{"yesno"} << QStringList()
            << QStringList{"a.cfg=a.cfg\r\n"};
        QTest::newRow("an Untitled tab saved onto an open file as it closes")
            << QStringList{"open a.cfg", "new", "type y", "answer save a.cfg", "close 1"} << QStringList{">Untitled"}
            << QStringList{"save Untitled"} << QStringList() << QStringList{"a.cfg=y\r\n"};
        // Closing tabs.
        QTest::newRow("closing an edited tab, cancelled")
            << QStringList{"open a.cfg", "open b.cfg", "front 0", "type x", "front 1", "answer cancel", "close 0"}
            << QStringList{">a.cfg*", "b.cfg"} << QStringList{"save a.cfg"} << QStringList() << QStringList();
        QTest::newRow("closing the one in front brings the next")
            << QStringList{"open a.cfg", "open b.cfg", "open c.cfg", "front 1", "close 1"}
            << QStringList{"a.cfg", ">c.cfg"} << QStringList() << QStringList() << QStringList();
        QTest::newRow("the last tab closed leaves a blank one")
            << QStringList{"open a.cfg", "close 0"} << QStringList{">Untitled"} << QStringList() << QStringList()
            << QStringList();
        // Closing the window: one question about every edited tab.
        QTest::newRow("closing, one edited tab: the usual question")
            << QStringList{"open a.cfg", "type x", "open b.cfg", "answer discard", "closing"}
            << QStringList{">a.cfg*", "b.cfg"} << QStringList{"save a.cfg", "closes"} << QStringList()
            << QStringList{"a.cfg=a.cfg\r\n"};
        QTest::newRow("closing, Save All")
            << QStringList{"open a.cfg", "type x", "new", "type y", "answer save new.cfg", "closing"}
            << QStringList{"a.cfg", ">new.cfg"} << QStringList{"save all a.cfg Untitled", "closes"} << QStringList()
            << QStringList{"a.cfg=a.cfgx\r\n", "new.cfg=y\r\n"};
        QTest::newRow("closing, Discard All")
            << QStringList{"open a.cfg", "type x", "new", "type y", "answer discard", "closing"}
            << QStringList{"a.cfg*", ">Untitled*"} << QStringList{"save all a.cfg Untitled", "closes"}
            << QStringList() << QStringList{"a.cfg=a.cfg\r\n"};
        QTest::newRow("closing, Cancel")
            << QStringList{"open a.cfg", "type x", "new", "type y", "answer cancel", "closing"}
            << QStringList{"a.cfg*", ">Untitled*"} << QStringList{"save all a.cfg Untitled", "stays"}
            << QStringList() << QStringList{"a.cfg=a.cfg\r\n"};
        QTest::newRow("Save All onto a file whose edited tab comes later")
            << QStringList{"type y", "open a.cfg", "type x", "answer save a.cfg", "yes", "closing"}
            << QStringList{">a.cfg"} << QStringList{"save all Untitled a.cfg", "yesno", "closes"} << QStringList()
            << QStringList{"a.cfg=y\r\n"};
        QTest::newRow("File > Save All saves only the edited")
            << QStringList{"open a.cfg", "type x", "open b.cfg", "saveall"} << QStringList{">a.cfg", "b.cfg"}
            << QStringList() << QStringList() << QStringList{"a.cfg=a.cfgx\r\n", "b.cfg=b.cfg\r\n"};
        // The session: told as it changes once it began, not at closing only.
        QTest::newRow("session reopens, the same one in front, the gone told")
            << QStringList{"session b.cfg a.cfg gone.cfg c.cfg"} << QStringList{">b.cfg", "a.cfg", "c.cfg"}
            << QStringList{"missing gone.cfg"} << QStringList{">b.cfg", "a.cfg", "c.cfg"} << QStringList();
        QTest::newRow("session follows opening, moving, the front and closing")
            << QStringList{"session a.cfg", "open b.cfg", "open c.cfg", "move 2 0", "front 1", "close 2", "new"}
            << QStringList{"c.cfg", "a.cfg", ">Untitled"} << QStringList() << QStringList{">c.cfg", "a.cfg"}
            << QStringList();
        QTest::newRow("session follows Save As")
            << QStringList{"session a.cfg", "new", "type y", "saveas n.cfg"} << QStringList{"a.cfg", ">n.cfg"}
            << QStringList() << QStringList{"a.cfg", ">n.cfg"} << QStringList{"n.cfg=y\r\n"};
        // Recovered copies go to their file's own tab.
        QTest::newRow("a copy goes to its file's open tab")
            << QStringList{"open b.cfg", "open a.cfg", "crashed b.cfg saved", "recover"}
            << QStringList{">b.cfg*", "a.cfg"} << QStringList() << QStringList() << QStringList();
        QTest::newRow("two copies of one file open one tab")
            << QStringList{"crashed a.cfg first", "crashed a.cfg second", "answer discard", "recover"}
            << QStringList{">a.cfg*"} << QStringList{"save a.cfg"} << QStringList() << QStringList();
        QTest::newRow("an Untitled copy takes the blank tab, then a new one")
            << QStringList{"crashed - one", "crashed - two", "recover"}
            << QStringList{"Untitled*", ">Untitled 2*"} << QStringList() << QStringList() << QStringList();
    }
    void rules()
    {
        QFETCH(QStringList, steps);
        for (const QString &step : steps)
            run(step);
        QFETCH(QStringList, tabs);
        for (QString &tab : tabs)
            tab.replace(QStringLiteral("%DIR%"), QFileInfo(m_dir->path()).fileName());
        QCOMPARE(this->tabs(), tabs);
        QStringList said;
        for (const QString &name : m_prompts->saveChangesNames)
            said << QStringLiteral("save ") + name;
        for (const QStringList &names : m_prompts->saveAllAsked)
            said << QStringLiteral("save all ") + names.join(u' ');
        for (qsizetype i = 0; i < m_prompts->yesNoAsked.size(); ++i)
            said << QStringLiteral("yesno");
        if (!m_prompts->errors.isEmpty())
            said << QStringLiteral("error");
        said += m_prompts->notices;
        QTEST(said, "said");
        QTEST(m_sessions.value(m_sessions.size() - 1), "session");
        QFETCH(QStringList, files);
        for (const QString &expected : files) {
            const QString name = expected.section(u'=', 0, 0);
            QCOMPARE(QString::fromLatin1(readAll(path(name))), expected.section(u'=', 1));
        }
        // However it came about, no two tabs hold one file.
        QSet<QString> held;
        for (int i = 0; i < m_documents->count(); ++i) {
            const QString identity = m_documents->at(i).fileIdentity();
            QVERIFY2(identity.isEmpty() || !held.contains(identity), qPrintable(identity));
            held.insert(identity);
        }
        QCOMPARE(m_added - m_removed, m_documents->count());
    }

    // A session begun from the command line keeps the saved one until the
    // tabs change; nothing is told before the session begins.
    void sessionIsToldOnlyOnceBegun()
    {
        m_documents->open(path("a.cfg"));
        QVERIFY(m_sessions.isEmpty());
        m_documents->beginSession({path("b.cfg")}, 0, false);
        QVERIFY(m_sessions.isEmpty());
        m_documents->open(path("b.cfg"));
        QCOMPARE(m_sessions, QList<QStringList>({{"a.cfg", ">b.cfg"}}));
    }
};

QTEST_GUILESS_MAIN(tst_OpenDocuments)
#include "tst_OpenDocuments.moc"
