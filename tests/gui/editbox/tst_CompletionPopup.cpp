#include "core/documents/FakePrompts.h"

#include "catalogue/Catalogue.h"
#include "completion/CompletionList.h"
#include "gui/editbox/CompletionPopup.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"

#include "FileHelpers.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The completion list in the main window, with the catalogue and use counts
// the build installs, driven by real key events.
class tst_CompletionPopup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mdlVars> m_vars;
    std::unique_ptr<FakePrompts> m_prompts;
    std::unique_ptr<frmTessary> m_frm;

    RichTextBox &box() const { return m_frm->editBox(); }
    CompletionPopup &popup() const { return *m_frm->findChild<CompletionPopup *>(); }

    void start(const QString &argument = {})
    {
        m_frm = std::make_unique<frmTessary>(*m_vars, m_dir->path(), m_prompts.get());
        m_frm->Form_Load(argument);
        m_frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frm.get()));
        box().setFocus();
    }

    // Types `keys`: characters as they are, {Name} for a key
    // (Tab Enter Esc Up Down PgUp PgDn Left Back CtrlSpace CtrlZ); {Off}
    // unticks View > Completion.
    void press(const QString &keys)
    {
        static const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named = {
            {"Tab", {Qt::Key_Tab, {}}},         {"Enter", {Qt::Key_Return, {}}},
            {"Esc", {Qt::Key_Escape, {}}},      {"Up", {Qt::Key_Up, {}}},
            {"Down", {Qt::Key_Down, {}}},       {"PgUp", {Qt::Key_PageUp, {}}},
            {"PgDn", {Qt::Key_PageDown, {}}},   {"Left", {Qt::Key_Left, {}}},
            {"Back", {Qt::Key_Backspace, {}}},  {"CtrlSpace", {Qt::Key_Space, Qt::ControlModifier}},
            {"CtrlZ", {Qt::Key_Z, Qt::ControlModifier}},
        };
        static const QRegularExpression token(QStringLiteral("\\{(\\w+)\\}|(.)"));
        for (const QRegularExpressionMatch &m : token.globalMatch(keys)) {
            if (m.captured(1) == u"Off") {
                m_frm->findChild<QAction *>(QStringLiteral("mnuCompletion"))->trigger();
            } else if (m.captured(2).isEmpty()) {
                QVERIFY2(named.contains(m.captured(1)), qPrintable(m.captured(1)));
                const auto [key, modifiers] = named.value(m.captured(1));
                QTest::keyClick(&box(), key, modifiers);
            } else {
                QTest::keyClicks(&box(), m.captured(2));
            }
        }
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_vars = std::make_unique<mdlVars>();
        m_prompts = std::make_unique<FakePrompts>();
        // The program folder as installed: the catalogue and its use counts.
        QVERIFY(QFile::copy(QStringLiteral(TESSARY_COMMANDS_DAT), Catalogue::path(m_dir->path())));
        QVERIFY(QFile::copy(QStringLiteral(TESSARY_USES_TABLE), CompletionList::usesPath(m_dir->path())));
    }

    void cleanup()
    {
        m_frm.reset();
    }

    // The keys the list takes while open keep their meaning while it is
    // closed (which key does what while open: tst_CompletionKeys::route;
    // where the list opens by itself: tst_CompletionContext).
    void keyRouting_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("open");

        QTest::newRow("open: Tab takes the first") << "cl_up{Tab}" << "cl_updaterate" << false;
        QTest::newRow("open: Escape closes, text stays") << "cl_up{Esc}" << "cl_up" << false;
        QTest::newRow("open: Down then Tab takes the second") << "cl_up{Down}{Up}{Down}{Tab}" << "!cl_updaterate"
                                                              << false;
        QTest::newRow("open: letters narrow and stay open") << "cl_upd" << "cl_upd" << true;
        QTest::newRow("open: nothing matches closes") << "cl_upqqq" << "cl_upqqq" << false;
        QTest::newRow("open: Left types as usual and closes") << "cl_up{Left}x" << "cl_uxp" << false;
        QTest::newRow("closed: Tab types a tab") << "c{Tab}" << "c\t" << false;
        QTest::newRow("closed: Up and Down move the caret") << "a{Enter}{Up}x{Down}y" << "xa\r\ny" << false;
        QTest::newRow("closed: Ctrl+Space opens at once") << "c{CtrlSpace}" << "c" << true;
        QTest::newRow("View > Completion off: Tab types") << "{Off}cl_up{CtrlSpace}{Tab}" << "cl_up\t" << false;
    }

    void keyRouting()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(bool, open);
        start();
        press(keys);
        if (text.startsWith(u'!')) {
            // Another item than the first was taken.
            QVERIFY(box().Text().startsWith(QStringLiteral("cl_")));
            QVERIFY(box().Text() != text.mid(1));
        } else {
            QCOMPARE(box().Text(), text);
        }
        QCOMPARE(popup().isOpen(), open);
    }

    // The window feeds the list the game folder's files and the document's aliases.
    void offersInContext_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("holds");

        QTest::newRow("exec: the folder's files") << "exec " << "" << "userconfig.cfg";
        QTest::newRow("document alias") << "alias +myjump \"+jump\"{Enter}+myj" << "+myjump" << "";
    }

    void offersInContext()
    {
        QFETCH(QString, keys);
        QFETCH(QString, first);
        QFETCH(QString, holds);
        // A game folder: exec offers its configs.
        const QString game = m_dir->filePath(QStringLiteral("cstrike"));
        QVERIFY(QDir().mkpath(game));
        for (const char *name : {"liblist.gam", "autoexec.cfg", "userconfig.cfg"})
            writeAll(game + u'/' + QLatin1String(name), {});
        start(game + QStringLiteral("/autoexec.cfg"));
        press(keys);
        QVERIFY2(popup().isOpen(), qPrintable(box().Text()));
        const QStringList names = popup().shownNames();
        if (!first.isEmpty()) {
            QCOMPARE(names.value(0), first);
            QVERIFY(!popup().currentExplanation().isEmpty());
        }
        if (!holds.isEmpty())
            QVERIFY2(names.contains(holds, Qt::CaseInsensitive), qPrintable(names.join(u' ')));
    }

};

QTEST_MAIN(tst_CompletionPopup)
#include "tst_CompletionPopup.moc"
