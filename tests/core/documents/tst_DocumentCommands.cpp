#include "core/documents/FakePrompts.h"

#include "settings/FileName.h"
#include "documents/CommandLine.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentFile.h"
#include "documents/OpenCost.h"
#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "documents/RecoveryStore.h"
#include "documents/Texts.h"
#include "editbox/VirtualKey.h"
#include "settings/CodePage.h"
#include "undo/clsUndo.h"

#include "FileHelpers.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>


// A document as the box holds it: the text, and the file's final line end
// in its form. The rules an editor that keeps files as they are follows: a
// line break it puts in (Enter, a paste) is the document's line end, every
// other stays as it was read, and CR LF is one character wherever it stands.
struct TextModel
{
    using Break = TextForm::LineBreak;
    QString text;
    TextForm form;

    // As read from the text of a whole file: its last line end is the final one.
    static TextModel read(const QString &all, TextForm form)
    {
        form.finalBreak = all.endsWith(QLatin1String("\r\n")) ? Break::CrLf
                        : all.endsWith(u'\r')                ? Break::Cr
                        : all.endsWith(u'\n')                ? Break::Lf
                                                              : Break::None;
        return {all.chopped(TextForm::breakText(form.finalBreak).size()), form};
    }
    static QString withBreaks(QString text, Break to)
    {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        return text.replace(u'\n', TextForm::breakText(to));
    }
    QByteArray bytes() const
    {
        const QString all = text + TextForm::breakText(form.finalBreak);
        if (form.encoding == TextForm::Encoding::Windows1252)
            return CodePage::encode(all);
        return (form.encoding == TextForm::Encoding::Utf8Bom ? QByteArray("\xef\xbb\xbf") : QByteArray()) + all.toUtf8();
    }
    // The most common line end, a tie going to CR LF, as new lines take it.
    Break usual() const
    {
        const QString all = text + TextForm::breakText(form.finalBreak);
        const qsizetype crLf = all.count(QLatin1String("\r\n")), lf = all.count(u'\n') - crLf, cr = all.count(u'\r') - crLf;
        return lf > crLf && lf >= cr ? Break::Lf : cr > crLf && cr > lf ? Break::Cr : Break::CrLf;
    }
    static qsizetype breaks(const QString &text)
    {
        return text.count(u'\r') + text.count(u'\n') - text.count(QLatin1String("\r\n"));
    }
    // Puts `with` in place of `length` characters; false when a lone CR came
    // to stand before a lone LF: one CR LF from then on, in this editor as in any other.
    bool replace(qsizetype at, qsizetype length, const QString &with)
    {
        const qsizetype expected = breaks(text) - breaks(text.mid(at, length)) + breaks(with);
        text.replace(at, length, with);
        return breaks(text) == expected;
    }
    // The characters before and after a position, a CR LF as one.
    qsizetype after(qsizetype at) const { return text.mid(at, 2) == QLatin1String("\r\n") ? 2 : at < text.size() ? 1 : 0; }
    qsizetype before(qsizetype at) const { return at >= 2 && after(at - 2) == 2 ? 2 : at > 0 ? 1 : 0; }
};

class tst_DocumentCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    MemoryClipboard m_clipboard;
    std::unique_ptr<MemoryEditBox> m_box;
    std::unique_ptr<FakePrompts> m_prompts;
    std::unique_ptr<DocumentCommands> m_commands;
    int m_replaced = 0; // the text was replaced as a whole

    QString path(const QString &name) const { return m_dir->filePath(name); }

    bool openTheFile() { return m_commands->openPath(path("a.cfg")); }

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
        m_prompts = std::make_unique<FakePrompts>();
        m_commands = std::make_unique<DocumentCommands>(*m_box, *m_prompts);
        m_replaced = 0;
        m_commands->setDocumentReplacedHandler([this] { ++m_replaced; });
        writeAll(path("a.cfg"), "gamma 1\r\nrate 2\r\n");
    }

    // A random differential: files with every mix of line ends, in each
    // encoding, opened, edited through the engine's edit paths and saved,
    // against the text model. An unchanged file is written byte for byte.
    void filesKeepTheirForm_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void filesKeepTheirForm()
    {
        QFETCH(quint32, seed);
        using Break = TextForm::LineBreak;
        using Encoding = TextForm::Encoding;
        QRandomGenerator random(seed);
        clsUndo engine;
        engine.setRichBox(m_box.get());
        m_commands->setDocumentReplacedHandler([&engine] { engine.Reset(); });
        const Break ends[] = {Break::CrLf, Break::Lf, Break::Cr};
        const QString file = path(QStringLiteral("random.cfg"));
        for (int session = 0; session < 60; ++session) {
            const auto where = [&](int step) { return QStringLiteral("session %1 step %2").arg(session).arg(step); };
            // A file: one line end for all, or any mix, and any encoding.
            const Encoding encoding = Encoding(random.bounded(3));
            const auto letter = [&](Encoding in) {
                const QString letters = in == Encoding::Windows1252 ? QStringLiteral("ab /\u00fc") : QStringLiteral("ab /\u0436\u4e2d");
                return letters[random.bounded(letters.size())];
            };
            const bool mixed = random.bounded(2);
            const Break only = ends[random.bounded(3)];
            QString all = encoding == Encoding::Utf8 ? QStringLiteral("\u0436") : QString();
            for (int n = int(random.bounded(1, 7)); n > 0; --n) {
                for (int c = int(random.bounded(4)); c > 0; --c)
                    all += letter(encoding);
                all += n == 1 && random.bounded(3) == 0 ? QString() : TextForm::breakText(mixed ? ends[random.bounded(3)] : only);
            }
            TextModel model = TextModel::read(all, TextForm{encoding, Break::CrLf, Break::None});
            model.form.lineBreak = model.usual();
            writeAll(file, model.bytes());
            QVERIFY(m_commands->openPath(file));
            QCOMPARE(m_box->Text(), model.text);
            QCOMPARE(m_box->form(), model.form);
            QVERIFY(m_commands->save());
            QVERIFY2(readAll(file) == model.bytes(), qPrintable(where(0) + QStringLiteral(": unchanged file rewritten")));

            std::vector<TextModel> states{model};
            int depth = 0;
            for (int step = 1; step <= 30; ++step) {
                qsizetype at = random.bounded(model.text.size() + 1);
                if (at > 0 && model.after(at - 1) == 2)
                    --at; // the box puts a caret inside a CR LF before it
                const int dice = int(random.bounded(20));
                bool history = false, kept = true;
                m_box->setSelStart(int(at));
                if (dice < 5) {
                    const QChar c = letter(model.form.encoding);
                    if (c == u'a' || c == u'b')
                        m_box->pressKey(c.toUpper().unicode(), 0, QString(c));
                    else
                        m_box->commitText(QString(c));
                    kept = model.replace(at, 0, c);
                } else if (dice < 8) {
                    m_box->pressKey(VirtualKey::Return, 0, QStringLiteral("\r"));
                    kept = model.replace(at, 0, model.form.newLine());
                } else if (dice < 10) {
                    m_box->pressKey(VirtualKey::Back, 0, QStringLiteral("\b"));
                    kept = model.replace(at - model.before(at), model.before(at), {});
                } else if (dice < 12) {
                    m_box->pressKey(VirtualKey::Delete);
                    kept = model.replace(at, model.after(at), {});
                } else if (dice < 14) {
                    static const QStringList pieces = {QStringLiteral("p\nq"), QStringLiteral("r\r\ns"),
                                                       QStringLiteral("t\ru"), QStringLiteral("v")};
                    const QString piece = pieces[random.bounded(pieces.size())];
                    m_clipboard.SetText(piece);
                    m_box->pressKey('V', 2);
                    kept = model.replace(at, 0, TextModel::withBreaks(piece, model.form.lineBreak));
                } else if (dice < 16) {
                    history = true;
                    random.bounded(2) ? engine.undo() : engine.Redo();
                    depth = engine.UndoCount();
                    model = states[size_t(depth)];
                } else if (dice < 18) {
                    model.form = model.form.withLineBreak(ends[random.bounded(3)]);
                    engine.ChangeForm(model.form, true);
                    model.text = TextModel::withBreaks(model.text, model.form.lineBreak);
                } else if (dice < 19) {
                    // Windows-1252 only where it holds every character: the save would ask.
                    const Encoding to = Encoding(random.bounded(3));
                    const bool holds = to != Encoding::Windows1252 || CodePage::firstUnencodable(model.text) < 0;
                    model.form.encoding = holds ? to : Encoding::Utf8;
                    engine.ChangeForm(model.form, false);
                } else {
                    // Saved and opened again: new lines take what is most common now.
                    QVERIFY(m_commands->save());
                    QVERIFY2(readAll(file) == model.bytes(), qPrintable(where(step) + QStringLiteral(": saved")));
                    QVERIFY(m_commands->openPath(file));
                    model = TextModel::read(model.text + TextForm::breakText(model.form.finalBreak), model.form);
                    model.form.lineBreak = model.usual();
                    // Nothing past ASCII left: nothing tells UTF-8 from Windows-1252.
                    const QByteArray bytes = model.bytes();
                    if (model.form.encoding == Encoding::Utf8
                        && std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
                        model.form.encoding = Encoding::Windows1252;
                    states = {model};
                    depth = 0;
                    history = true;
                }
                if (!history && engine.UndoCount() == depth + 1) {
                    states.resize(size_t(depth) + 1);
                    states.push_back(model);
                    ++depth;
                }
                const QString seen = where(step) + QStringLiteral(" dice %1").arg(dice);
                QVERIFY2(m_box->Text() == model.text, qPrintable(seen));
                QVERIFY2(m_box->form() == model.form, qPrintable(seen));
                if (!kept)
                    break; // undoing would put a character inside that CR LF
            }
            QVERIFY(m_commands->save());
            QVERIFY2(readAll(file) == model.bytes(), qPrintable(where(99) + QStringLiteral(": saved at the end")));
        }
    }

    // Opening asks first when the box would lay the longest line out slowly
    // or the file takes more than half the memory the computer can give
    // (naming it); more than it can give is refused, before the file is read
    // through when its size alone says so. From the command line, a file not
    // opened leaves the box empty and nameless.
    void costlyFileIsOpenedOnlyWhenAgreed_data()
    {
        QTest::addColumn<int>("lineLength"); // 0: many short lines
        QTest::addColumn<double>("share"); // the computer's free memory, in shares of what the file takes; -1: unknown
        QTest::addColumn<bool>("fromCommandLine");
        QTest::addColumn<bool>("agreed");
        QTest::addColumn<QString>("outcome");
        const int limit = int(DocumentFile::SlowLineLength);
        QTest::newRow("line at the limit") << limit << 3.0 << false << false << "opened";
        QTest::newRow("longer line, refused") << limit + 1 << 3.0 << false << false << "asked";
        QTest::newRow("longer line, agreed") << limit + 1 << 3.0 << false << true << "opened after asking";
        QTest::newRow("memory not known") << 0 << -1.0 << false << false << "opened";
        QTest::newRow("memory tight, refused") << 0 << 1.5 << false << false << "asked";
        QTest::newRow("too little memory") << 0 << 0.99 << false << true << "refused";
        QTest::newRow("too little for its size alone") << 0 << 0.1 << true << true << "refused";
    }
    void costlyFileIsOpenedOnlyWhenAgreed()
    {
        QFETCH(int, lineLength);
        QFETCH(double, share);
        QFETCH(bool, fromCommandLine);
        QFETCH(QString, outcome);
        writeAll(path("a.cfg"), lineLength ? "x\r\n" + QByteArray(lineLength, 'y') + "\r\nz"
                                           : QByteArray("gamma 1\n\xe9\r\n").repeated(1000));
        const qint64 memory = OpenCost::ofFile(path("a.cfg")).memory();
        m_commands->setAvailableMemory([&] { return share < 0 ? qint64(-1) : qint64(memory * share); });
        m_box->setText(QStringLiteral("before"));
        m_box->setModified(false);
        QFETCH(bool, agreed);
        m_prompts->openSlow = agreed;
        if (fromCommandLine)
            m_commands->loadCommandLine(path("a.cfg"));
        else
            openTheFile();
        const bool opened = outcome.startsWith(u"opened");
        QCOMPARE(m_box->TextLength(), opened ? (lineLength ? lineLength + 6 : 10998) : fromCommandLine ? 0 : 6);
        QCOMPARE(m_commands->fileName(), opened ? path("a.cfg") : QString());
        QCOMPARE(m_prompts->slowOpensAsked.size(), outcome.contains(u"ask") ? 1 : 0);
        QCOMPARE(m_prompts->errors.size(), outcome == u"refused" ? 1 : 0);
        const QString told = m_prompts->slowOpensAsked.value(0) + m_prompts->errors.value(0);
        if (lineLength > int(DocumentFile::SlowLineLength))
            QVERIFY2(told.contains(QLocale().toString(lineLength)), qPrintable(told));
        else if (share > 0.5 && share < 3)
            QVERIFY2(told.contains(QLocale().formattedDataSize(memory, 0)), qPrintable(told));
    }

    // Measured in pieces, a file gives what its bytes give at once, also
    // with a CR LF parted between two pieces.
    void openCostOfAFileInPieces()
    {
        QByteArray bytes(4 * 1024 * 1024 - 1, 'x');
        bytes += "\r\n\x80\ry\n\nz";
        writeAll(path("a.cfg"), bytes);
        const OpenCost whole = OpenCost::ofBytes(bytes);
        const OpenCost pieces = OpenCost::ofFile(path("a.cfg"));
        QCOMPARE(pieces.lines, 5);
        QCOMPARE(pieces.lines, whole.lines);
        QCOMPARE(pieces.longestLine, whole.longestLine);
        QCOMPARE(pieces.longestLine, 4 * 1024 * 1024 - 1);
        QCOMPARE(pieces.highBytes, 1);
        QCOMPARE(pieces.bytes, whole.bytes);
        // Read from the system: unknown, no file would ever be refused.
        QVERIFY(availableMemory() > 0);
    }

    // A paste of a line the box lays out slowly is asked about, as opening is.
    void longLinePasteIsAsked_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("asked");
        const QString limit(DocumentFile::SlowLineLength, u'x');
        QTest::newRow("at the limit") << limit + QStringLiteral("\r\nshort") << false;
        QTest::newRow("over it, refused") << limit + QStringLiteral("y") << true;
        QTest::newRow("lone LFs part it") << limit.left(10) + QStringLiteral("\n") + limit << false;
    }
    void longLinePasteIsAsked()
    {
        QFETCH(QString, text);
        QFETCH(bool, asked);
        QCOMPARE(m_commands->pasteAccepted(text), !asked);
        QCOMPARE(m_prompts->slowPastesAsked.size(), asked ? 1 : 0);
    }

    // A name whose bytes are not UTF-8 (Latin-1 "caf\xe9") opens from the
    // command line and stays that file: shown with a replacement character,
    // saved to the same bytes, and recorded by them for recovery.
    void commandLineNameInAnotherEncodingOpens()
    {
        const QByteArray raw = QFile::encodeName(m_dir->path()) + "/caf\xe9.cfg";
        const auto rawFile = [&raw](const char *mode) {
            auto file = std::make_unique<QFile>();
            const QIODevice::OpenMode how = *mode == 'r' ? QIODevice::ReadOnly : QIODevice::WriteOnly;
            return file->open(::fopen(raw.constData(), mode), how, QFileDevice::AutoCloseHandle) ? std::move(file) : nullptr;
        };
        QVERIFY(rawFile("wb")->write("gamma 1\r\n") > 0);
        m_commands->loadCommandLine(CommandLine::filePath(raw));
        QCOMPARE(m_box->Text(), QStringLiteral("gamma 1"));
        QVERIFY(m_prompts->errors.isEmpty());
        QCOMPARE(Texts::windowTitle(m_commands->fileName()), QStringLiteral("caf\uFFFD.cfg[*] - Tessary"));

        {
            RecoveryStore crashed(path("data"));
            QVERIFY(crashed.open());
            m_commands->setRecoveryStore(&crashed);
            edit(QStringLiteral(" 2"));
            m_commands->keepRecoveryCopy();
            QVERIFY(crashed.hasCopy());
            m_commands->setRecoveryStore(nullptr);
        }
        RecoveryStore next(path("data"));
        QVERIFY(next.open());
        const QList<RecoveryStore::Copy> copies = next.leftovers();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(FileName::toNative(copies[0].documentPath), raw);

        QVERIFY(m_commands->save());
        QCOMPARE(rawFile("rb")->readAll(), QByteArray("gamma 1 2\r\n"));
        // Deleted by another program, it is written again under the same bytes.
        QCOMPARE(::unlink(raw.constData()), 0);
        edit(QStringLiteral(" 3"));
        QVERIFY(m_commands->save());
        QCOMPARE(rawFile("rb")->readAll(), QByteArray("gamma 1 2 3\r\n"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("caf\uFFFD.cfg")))); // no file under a replacement name
        QVERIFY(m_prompts->errors.isEmpty());
    }

    // Each step: "open NAME", "saveas NAME" (empty NAME: the dialog is
    // cancelled), "save NAME" (the name the dialog would give), "edit",
    // "earlier NAME" (the file last used in an earlier run), "args TEXT"
    // (the command line; "@" the folder). The edit is "rate 3"; "holds"
    // names the files it reached. What cannot be read or written is
    // reported by name and changes nothing.
    void documentCommands_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("holds");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<QString>("lastStart"); // "~": the home folder, "/": the temporary folder
        QTest::addColumn<int>("errors");
        const QStringList a{"a.cfg"};
        QTest::newRow("Open A, Save As B, edit, Save: B")
            << "open a.cfg; saveas b.cfg; edit; save" << "b.cfg" << QStringList{"b.cfg"} << 1 << "a.cfg" << 0;
        QTest::newRow("nameless: Save As, edit, Save: no second dialog")
            << "edit; saveas new1.cfg; edit; save" << "new1.cfg" << QStringList{"new1.cfg"} << 1 << "~" << 0;
        QTest::newRow("Save As cancelled keeps A") << "open a.cfg; edit; saveas; save" << "a.cfg" << a << 1 << "a.cfg" << 0;
        QTest::newRow("Save of a nameless document, cancelled") << "edit; save" << "" << QStringList{} << 1 << "~" << 0;
        QTest::newRow("Save As starts in the folder of an earlier run")
            << "earlier a.cfg; edit; save c.cfg" << "c.cfg" << QStringList{"c.cfg"} << 1 << "/" << 0;
        QTest::newRow("Save As into a missing folder keeps A")
            << "open a.cfg; edit; saveas none/b.cfg; save" << "a.cfg" << a << 1 << "a.cfg" << 1;
        QTest::newRow("opening a missing file keeps A") << "open a.cfg; edit; open gone.cfg; save" << "a.cfg" << a << 0 << "" << 1;
        QTest::newRow("opening a folder keeps A") << "open a.cfg; edit; open folder.cfg; save" << "a.cfg" << a << 0 << "" << 1;
        // Quotes around a name from the command line are not the name's.
        QTest::newRow("command line, quoted") << "args \"@a.cfg\"; edit; save" << "a.cfg" << a << 0 << "" << 0;
        QTest::newRow("command line, empty quotes") << "args \"\"" << "" << QStringList{} << 0 << "" << 0;
        QTest::newRow("command line, one quote") << "args \"" << "" << QStringList{} << 0 << "" << 1;
    }
    void documentCommands()
    {
        QFETCH(QString, steps);
        QFETCH(QString, current);
        QFETCH(QStringList, holds);
        QFETCH(int, dialogs);
        QFETCH(QString, lastStart);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.cfg")));
        const QString home = path("home");
        m_commands->setHomeFolder(home);
        m_prompts->saveChoice = Prompts::SaveChoice::Discard;
        for (const QString &step : steps.split(QStringLiteral("; "))) {
            const QString verb = step.section(u' ', 0, 0);
            const QString name = step.section(u' ', 1);
            const QString chosen = name.isEmpty() ? QString() : path(name);
            m_prompts->savePath = chosen;
            const qsizetype told = m_prompts->errors.size();
            const int replaced = m_replaced;
            if (verb == u"open" && !m_commands->openPath(chosen))
                QCOMPARE(m_replaced, replaced); // the undo history stays
            else if (verb == u"saveas")
                QCOMPARE(m_commands->saveAs(), QFileInfo(QFileInfo(chosen).path()).isDir() && !name.isEmpty());
            else if (verb == u"save")
                m_commands->save();
            else if (verb == u"earlier")
                m_commands->setLastChosen(chosen);
            else if (verb == u"args")
                m_commands->loadCommandLine(QString(name).replace(u'@', m_dir->path() + u'/'));
            else if (verb == u"edit")
                edit(QStringLiteral("rate 3"));
            if (m_prompts->errors.size() > told && verb != u"args")
                QVERIFY2(m_prompts->errors.last().contains(name.section(u'/', -1)), qPrintable(m_prompts->errors.last()));
        }
        QTEST(int(m_prompts->errors.size()), "errors");
        QCOMPARE(m_commands->fileName(), current.isEmpty() ? QString() : path(current));
        QCOMPARE(m_prompts->dialogTitles.size(), dialogs);
        const QString start = lastStart == u"~" ? home : lastStart == u"/" ? m_dir->path() : path(lastStart);
        QCOMPARE(m_prompts->dialogStartPaths.value(dialogs - 1), dialogs ? start : QString());
        for (const char *name : {"a.cfg", "b.cfg", "c.cfg", "new1.cfg"}) {
            const bool edited = readAll(path(QString::fromLatin1(name))).contains("rate 3");
            QVERIFY2(edited == holds.contains(QString::fromLatin1(name)), name);
        }
        // The questions follow the current file.
        edit(QStringLiteral("x"));
        QVERIFY(m_commands->maybeSave());
        QCOMPARE(m_prompts->saveChangesNames.last(), current.isEmpty() ? QStringLiteral("Untitled") : current);
    }

    // Characters outside Windows-1252 are asked about, naming the line
    // (a lone LF ends none); the line separator is one of them, never a
    // line break, and a surrogate pair is one character.
    void unstorableCharacterIsAskedAbout_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("saveAnyway");
        const QString zhe = QStringLiteral("\u0416");
        QTest::newRow("cancel") << QStringLiteral("\r\nname \u0416enya") << zhe << 3 << false;
        QTest::newRow("save anyway") << QStringLiteral("\r\nname \u0416enya") << zhe << 3 << true;
        QTest::newRow("line separator") << QStringLiteral("\r\nname \u2028enya") << QStringLiteral("\u2028") << 3 << true;
        QTest::newRow("a lone LF ends no line") << QStringLiteral("\nname \u0416enya") << zhe << 2 << true;
        QTest::newRow("surrogate pair") << QStringLiteral("\r\nname \U0001F600enya") << QStringLiteral("\U0001F600") << 3
                                        << true;
    }
    void unstorableCharacterIsAskedAbout()
    {
        QFETCH(QString, typed);
        QFETCH(QString, character);
        QFETCH(bool, saveAnyway);
        QVERIFY(openTheFile());
        edit(typed);
        m_prompts->saveAnyway = saveAnyway;
        QCOMPARE(m_commands->save(), saveAnyway);
        QCOMPARE(m_prompts->confirmations.size(), 1);
        QFETCH(int, line);
        QVERIFY(m_prompts->confirmations[0].contains(QStringLiteral("Line %1").arg(line)));
        QVERIFY(m_prompts->confirmations[0].contains(character));
        const QString kept = saveAnyway ? typed.replace(character, QStringLiteral("?")) : QString();
        QCOMPARE(readAll(path("a.cfg")), (QStringLiteral("gamma 1\r\nrate 2") + kept + QStringLiteral("\r\n")).toLatin1());
        QCOMPARE(m_box->isModified(), !saveAnyway);
    }

    void changeOnDiskIsToldOnce_data()
    {
        QTest::addColumn<QString>("onDisk"); // what the other program does
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("reload");
        QTest::addColumn<int>("told");
        QTest::addColumn<QString>("text");
        const QString opened = QStringLiteral("gamma 1\r\nrate 2");
        const QString edited = opened + QStringLiteral(" 9");
        const QString game = QStringLiteral("gamma 5\r\nrate 2\r\nfov 90");
        QTest::newRow("rewritten, reload") << "rewrite" << false << true << 1 << game;
        QTest::newRow("rewritten, keep") << "rewrite" << false << false << 1 << opened;
        QTest::newRow("edited, rewritten, reload after discarding") << "rewrite" << true << true << 1 << game;
        QTest::newRow("edited, rewritten, keep") << "rewrite" << true << false << 1 << edited;
        QTest::newRow("same bytes written again") << "same bytes" << false << true << 0 << opened;
        QTest::newRow("same size and time, other bytes") << "same stamp" << true << true << 1
                                                         << QStringLiteral("gamma 7\r\nrate 2");
        QTest::newRow("deleted") << "delete" << false << true << 1 << opened;
        // A restore in the Backups dialog reloads with its own message.
        QTest::newRow("restored: reloaded and told") << "restore" << false << true << 1 << game;
        QTest::newRow("restored, edited: asked, reloaded") << "restore" << true << true << 1 << game;
        QTest::newRow("restored, edited: asked, kept") << "restore" << true << false << 1 << edited;
        QTest::newRow("another file restored: a change as any") << "restore other" << false << true << 1 << game;
    }
    void changeOnDiskIsToldOnce()
    {
        QFETCH(QString, onDisk);
        QFETCH(bool, edited);
        QFETCH(bool, reload);
        QFETCH(int, told);
        const QString file = path("a.cfg");
        QVERIFY(openTheFile());
        if (edited)
            this->edit(QStringLiteral(" 9"));
        const QDateTime time = QFileInfo(file).lastModified();
        if (onDisk == "rewrite" || onDisk.startsWith("restore"))
            writeAll(file, "gamma 5\r\nrate 2\r\nfov 90\r\n");
        else if (onDisk == "same bytes")
            writeAll(file, "gamma 1\r\nrate 2\r\n");
        else if (onDisk == "same stamp")
            writeAll(file, "gamma 7\r\nrate 2\r\n");
        else
            QVERIFY(QFile::remove(file));
        if (onDisk.startsWith("same")) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(time.addSecs(onDisk == "same bytes" ? 60 : 0),
                                                                   QFileDevice::FileModificationTime));
        }
        const QByteArray written = readAll(file);
        m_prompts->reload = reload;
        m_prompts->saveChoice = Prompts::SaveChoice::Discard;

        const QString restored = QStringLiteral("a.cfg was restored from the backup of 2026-12-07 05:00:00.");
        if (onDisk.startsWith("restore"))
            m_commands->reloadReplaced(path(onDisk == "restore" ? "a.cfg" : "b.cfg"), restored);
        else
            m_commands->checkDisk();
        m_commands->checkDisk();
        QCOMPARE(m_prompts->reloadsAsked.size() + m_prompts->notices.size(), told);
        QCOMPARE((m_prompts->reloadsAsked + m_prompts->notices).join(u'\n').contains(restored), onDisk == "restore");
        // A restore's question says the changes go: no second one.
        QCOMPARE(m_prompts->saveChangesAsked, edited && reload && told && onDisk != "restore" ? 1 : 0);
        QTEST(m_box->Text(), "text");
        QCOMPARE(m_box->isModified(), edited && !(reload && told));
        if (onDisk == "delete") { // closing now asks
            QVERIFY(m_commands->maybeSave());
            QCOMPARE(m_prompts->saveChangesAsked, 1);
        }

        // Saving over a change nobody loaded asks first; declining leaves the other program's file.
        const bool unloaded = told && !reload && onDisk != "delete";
        QCOMPARE(m_commands->save(), !unloaded);
        QCOMPARE(m_prompts->overwritesAsked.size(), unloaded ? 1 : 0);
        if (unloaded) {
            QCOMPARE(readAll(file), written);
            m_prompts->overwrite = true;
            QVERIFY(m_commands->save());
        }
        QCOMPARE(readAll(file), (m_box->Text() + QStringLiteral("\r\n")).toLatin1());
        // What this editor wrote itself is no change.
        m_commands->checkDisk();
        QVERIFY(m_commands->save());
        QCOMPARE(m_prompts->reloadsAsked.size() + m_prompts->notices.size(), told);
    }

    void recoveryCopies_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<int>("copiesLeft");
        QTest::newRow("restore") << int(Prompts::RecoveryChoice::Restore) << true << 1;
        QTest::newRow("discard") << int(Prompts::RecoveryChoice::Discard) << false << 0;
        QTest::newRow("later") << int(Prompts::RecoveryChoice::Later) << false << 1;
    }
    void recoveryCopies()
    {
        QFETCH(int, choice);
        QFETCH(bool, restored);
        QFETCH(int, copiesLeft);
        const QString data = path("data");
        const auto copies = [&] { return QDir(data + "/recovery").entryList({"*.copy"}, QDir::Files).size(); };
        const QString typed = QStringLiteral("\r\nname \u0416enya \U0001F600");
        {
            RecoveryStore crashed(data);
            QVERIFY(crashed.open());
            m_commands->setRecoveryStore(&crashed);
            QVERIFY(openTheFile());
            m_commands->keepRecoveryCopy();
            QVERIFY(!crashed.hasCopy()); // nothing unsaved yet
            edit(typed);
            m_commands->keepRecoveryCopy();
            QVERIFY(crashed.hasCopy());
            QVERIFY(crashed.takeError());
            m_commands->setRecoveryStore(nullptr);
        } // the editor ends without its copy removed
        QCOMPARE(copies(), 1);
        writeAll(path("a.cfg"), "\xef\xbb\xbfgamma 3\r\n"); // the game writes its own on exit, in UTF-8 now

        RecoveryStore store(data);
        QVERIFY(store.open());
        MemoryEditBox box(m_clipboard);
        DocumentCommands next(box, *m_prompts);
        next.setRecoveryStore(&store);
        clsUndo undo;
        undo.setRichBox(&box);
        undo.Reset();
        next.setDocumentReplacedHandler([&] { undo.Reset(); });
        m_prompts->recoveryChoice = Prompts::RecoveryChoice(choice);
        next.offerRecovery();
        QCOMPARE(m_prompts->recoveriesAsked.size(), 1);
        QVERIFY(m_prompts->recoveriesAsked[0].contains(QDir::toNativeSeparators(path("a.cfg"))));
        QCOMPARE(box.Text(), restored ? QStringLiteral("gamma 1\r\nrate 2") + typed : QString());
        QCOMPARE(next.fileName(), restored ? path("a.cfg") : QString());
        QCOMPARE(box.isModified(), restored);
        QCOMPARE(box.form().encoding == TextForm::Encoding::Utf8Bom, restored); // as the file is written now
        // Typing and undoing it does not make a restored text look saved.
        box.pressKey('X', 0, QStringLiteral("x"));
        box.pressKey('Z', 2);
        QCOMPARE(box.isModified(), restored);
        QCOMPARE(copies(), copiesLeft);
        QCOMPARE(store.hasCopy(), restored);

        // Saving removes the copy; a copy left for later is offered again.
        if (restored) {
            m_prompts->saveAnyway = true;
            QVERIFY(!next.save());
            QCOMPARE(m_prompts->overwritesAsked.size(), 1);
            QCOMPARE(readAll(path("a.cfg")), QByteArray("\xef\xbb\xbfgamma 3\r\n"));
            m_prompts->overwrite = true;
            QVERIFY(next.save());
            QVERIFY(!store.hasCopy());
            QCOMPARE(copies(), 0);
        }
        RecoveryStore again(data);
        QVERIFY(again.open());
        QCOMPARE(again.leftovers().size(), restored ? 0 : copiesLeft);
    }

    // Shutdown or logout: the copy is on disk before any question; an
    // answered question leaves none, a cancelled one keeps the session.
    void sessionEnd_data()
    {
        QTest::addColumn<bool>("mayAsk");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("copyKept");
        QTest::newRow("no questions allowed") << false << int(Prompts::SaveChoice::Cancel) << true << true;
        QTest::newRow("discard") << true << int(Prompts::SaveChoice::Discard) << true << false;
        QTest::newRow("cancel") << true << int(Prompts::SaveChoice::Cancel) << false << true;
    }
    void sessionEnd()
    {
        QFETCH(bool, mayAsk);
        QFETCH(int, answer);
        RecoveryStore store(path("data"));
        QVERIFY(store.open());
        m_commands->setRecoveryStore(&store);
        edit(QStringLiteral("typed"));
        m_prompts->saveChoice = Prompts::SaveChoice(answer);
        bool copyBeforeAsking = false;
        m_prompts->onAskSave = [&] { copyBeforeAsking = store.hasCopy(); };
        QTEST(m_commands->endSession(mayAsk), "ends");
        QCOMPARE(m_prompts->saveChangesAsked, mayAsk ? 1 : 0);
        QCOMPARE(copyBeforeAsking, mayAsk);
        QTEST(store.hasCopy(), "copyKept");
        m_commands->setRecoveryStore(nullptr);
    }
};

QTEST_APPLESS_MAIN(tst_DocumentCommands)
#include "tst_DocumentCommands.moc"
