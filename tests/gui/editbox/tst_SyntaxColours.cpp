#include "gui/editbox/SyntaxColours.h"

#include "core/catalogue/TestCatalogue.h"
#include "config/KnownCommands.h"
#include "editbox/MemoryClipboard.h"
#include "gui/editbox/RichTextBox.h"

#include "FileHelpers.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_SyntaxColours : public QObject
{
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue = testCatalogue();
    MemoryClipboard m_clipboard;
    std::unique_ptr<RichTextBox> m_box;
    std::unique_ptr<SyntaxColours> m_colours;
    int m_changes = 0;

    long sci(unsigned int message, unsigned long w = 0, long l = 0) const { return m_box->SendScintilla(message, w, l); }
    long lineStart(int line) const { return sci(QsciScintillaBase::SCI_POSITIONFROMLINE, line); }
    long lineEnd(int line) const { return sci(QsciScintillaBase::SCI_GETLINEENDPOSITION, line); }
    // Whether any character of the line has a colour of its own.
    bool coloured(int line) const
    {
        for (long p = lineStart(line); p < lineEnd(line); ++p) {
            if (sci(QsciScintillaBase::SCI_GETSTYLEAT, p) != 0)
                return true;
        }
        return false;
    }
    // The stretches of a line an indicator covers, as "from-to" columns.
    QStringList marked(int indicator, int line) const
    {
        QStringList runs;
        long p = lineStart(line);
        while (p < lineEnd(line)) {
            const long end = qMin(lineEnd(line), sci(QsciScintillaBase::SCI_INDICATOREND, indicator, p));
            if (sci(QsciScintillaBase::SCI_INDICATORVALUEAT, indicator, p))
                runs << QStringLiteral("%1-%2").arg(p - lineStart(line)).arg(end - lineStart(line));
            if (end <= p)
                break;
            p = end;
        }
        return runs;
    }
    // The middle of a character of a line, in the viewport.
    QPoint pointAt(int line, int column) const
    {
        const long at = lineStart(line) + column;
        return QPoint(int(sci(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, at)) + 2,
                      int(sci(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, at))
                          + int(sci(QsciScintillaBase::SCI_TEXTHEIGHT, line)) / 2);
    }
    // The box colours the lines it paints.
    static void paint(RichTextBox &box)
    {
        QCoreApplication::processEvents();
        box.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    void scrollTo(int line)
    {
        sci(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, line);
        paint(*m_box);
    }
    void show(const QString &text)
    {
        m_box->setText(text);
        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
        paint(*m_box);
    }

private slots:
    void init()
    {
        m_box = std::make_unique<RichTextBox>(m_clipboard);
        m_box->resize(400, 300);
        m_colours = std::make_unique<SyntaxColours>(*m_box, *m_catalogue);
        m_changes = 0;
        m_box->setChangeHandler([this] { ++m_changes; });
    }
    void cleanup()
    {
        m_colours.reset();
        m_box.reset();
    }

    // However the text came to be, edited and scrolled, the lines on screen
    // have the styles and marks a fresh box gives the same text.
    void screenMatchesAFreshBox()
    {
        QRandomGenerator rng(21);
        static const QStringList pieces = {"sensitivity 300", "volume 0.5", "alias go kill", "go", "rate -5",
                                           "\r\n", "\r\n", " ", ";", "\"", "// x"};
        QString text;
        for (int i = 0; i < 300; ++i)
            text += pieces[rng.bounded(pieces.size())] + QLatin1String(i % 3 ? " " : "\r\n");
        show(text);
        // The lines the edited box shows, in either box.
        const auto screen = [this](const RichTextBox &box) {
            QStringList lines;
            const auto send = [&](unsigned int m, unsigned long w = 0, long l = 0) { return box.SendScintilla(m, w, l); };
            const long first = sci(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
            const long last = qMin(first + sci(QsciScintillaBase::SCI_LINESONSCREEN) - 1,
                                   sci(QsciScintillaBase::SCI_GETLINECOUNT) - 1);
            for (long line = first; line <= last; ++line) {
                QString styles;
                for (long p = send(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
                     p < send(QsciScintillaBase::SCI_GETLINEENDPOSITION, line); ++p) {
                    styles += QChar(char16_t(u'a' + send(QsciScintillaBase::SCI_GETSTYLEAT, p)));
                    for (const int indicator : {SyntaxColours::BadValueIndicator, SyntaxColours::NoticeIndicator})
                        styles += send(QsciScintillaBase::SCI_INDICATORVALUEAT, indicator, p) ? u'!' : u'.';
                }
                lines << styles;
            }
            return lines;
        };
        for (int round = 0; round < 25; ++round) {
            for (int edit = rng.bounded(4); edit >= 0; --edit) {
                m_box->setSelStart(rng.bounded(m_box->TextLength() + 1));
                m_box->setSelLength(rng.bounded(12));
                m_box->setSelText(rng.bounded(4) ? pieces[rng.bounded(pieces.size())] : m_box->SelText());
            }
            scrollTo(rng.bounded(3) ? m_box->FirstVisibleLine() : rng.bounded(m_box->LineCount()));
            RichTextBox fresh(m_clipboard);
            fresh.resize(m_box->size());
            SyntaxColours colours(fresh, *m_catalogue);
            fresh.setText(m_box->Text());
            fresh.show();
            QVERIFY(QTest::qWaitForWindowExposed(&fresh));
            fresh.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, long(m_box->FirstVisibleLine()));
            paint(fresh);
            QCOMPARE(screen(*m_box), screen(fresh));
        }
    }

    // Colouring is no edit: the box's change notification, the document's
    // change signals, its modified flag and undo stay untouched.
    void colouringChangesNothing()
    {
        const QString text = QStringLiteral("bind \"x\" \"volume 2\"\r\nsensitivity 300 // fast\r\n").repeated(200);
        m_box->setText(text);
        m_box->setModified(false);
        m_changes = 0;
        const QString rtf = m_box->TextRTF();
        QSignalSpy changed(m_box.get(), &RichTextBox::linesReplaced);
        QSignalSpy modified(m_box.get(), &QsciScintilla::modificationChanged);

        m_box->show(); // the first colouring counts too
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
        QCoreApplication::processEvents();
        scrollTo(50);
        m_colours->setSyntax(FileSyntax::Fgd);
        QPalette dark = m_box->palette();
        dark.setColor(QPalette::Base, Qt::black);
        m_box->setPalette(dark);
        m_box->resize(300, 200);
        paint(*m_box);

        QVERIFY(coloured(50));
        QCOMPARE(m_changes + changed.count() + modified.count(), 0);
        QVERIFY(!m_box->isModified() && !m_box->SendScintilla(QsciScintillaBase::SCI_CANUNDO));
        QCOMPARE(m_box->Text(), text);
        QCOMPARE(m_box->TextRTF(), rtf);
        m_box->setSelStart(0);
        QTest::keyClick(m_box.get(), Qt::Key_X);
        QCOMPARE(m_changes, 1); // an edit still raises exactly one
    }

    // A value the game takes but changes gets the milder mark, never the
    // error's, and the hover says what the game makes of it (which values
    // are which: tst_ValueRange).
    void clampedValueIsANotice()
    {
        m_catalogue->strCmdName[50] = QStringLiteral("rate");
        m_catalogue->strCmdRange[50] = QStringLiteral("0 or more, kept 1000-100000");
        m_catalogue->reindex();
        m_colours->recolourAll();
        show(QStringLiteral("volume 2; rate \"500000\"\r\n"));
        QCOMPARE(marked(SyntaxColours::NoticeIndicator, 0), QStringList{"15-23"});
        QCOMPARE(marked(SyntaxColours::BadValueIndicator, 0), QStringList{"7-8"});
        QVERIFY2(m_colours->toolTipAt(pointAt(0, 15)).endsWith("500000: the game keeps it at most 100000"),
                 qPrintable(m_colours->toolTipAt(pointAt(0, 15))));
    }

    // The analysis of the game folder marks its problems in the open file,
    // explains them on hover, and makes aliases of other files known.
    void configurationProblems()
    {
        QTemporaryDir dir;
        writeAll(dir.filePath("liblist.gam"), "game \"Test\"\r\n");
        writeAll(dir.filePath("valve.rc"), "exec autoexec.cfg\r\n");
        writeAll(dir.filePath("userconfig.cfg"), "alias +jd \"+jump\"\r\nalias -jd \"-jump\"\r\n");
        writeAll(dir.filePath("config.cfg"), "exec userconfig.cfg\r\n");
        const QString text = QStringLiteral("+jd\r\nvolume 0.5; exec nothere.cfg\r\nvolume 5\r\n");
        writeAll(dir.filePath("autoexec.cfg"), text.toLatin1());
        const QString path = dir.filePath(QStringLiteral("autoexec.cfg"));
        CatalogueCommands known(*m_catalogue);
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        analyzer.setDocument(configPath(path), text);
        const auto model = std::make_shared<const ConfigModel>(analyzer.analyze());
        // "+jd": only the prefix is coloured while the alias is unknown.
        const auto styleOfJd = [this] { return sci(QsciScintillaBase::SCI_GETSTYLEAT, lineStart(0) + 1); };
        show(text);
        QCOMPARE(styleOfJd(), long(SyntaxToken::Kind::Plain));
        m_colours->setConfiguration(model, path);
        paint(*m_box);
        QCOMPARE(styleOfJd(), long(SyntaxToken::Kind::Known));
        QCOMPARE(m_colours->toolTipAt(pointAt(0, 1)), model->aliasExplanation(u"+jd"));
        QCOMPARE(m_colours->problems().size(), 2);
        const ConfigProblem problem = m_colours->problems().front();
        QVERIFY2(problem.message.contains("nothere.cfg"), qPrintable(problem.message));
        QCOMPARE(problem.line, 1);
        QCOMPARE(marked(SyntaxColours::ProblemIndicator, 1),
                 QStringList{QStringLiteral("%1-%2").arg(problem.column).arg(problem.column + problem.length)});
        QVERIFY(m_colours->toolTipAt(pointAt(1, problem.column)).contains(problem.message));
        // The analysis's copy of a value the box marks itself is not drawn twice.
        QCOMPARE(marked(SyntaxColours::BadValueIndicator, 2), QStringList{"7-8"});
        QVERIFY(marked(SyntaxColours::ProblemIndicator, 2).isEmpty());
        // The next analysis clears the marks.
        m_colours->setConfiguration(nullptr, path);
        QVERIFY(marked(SyntaxColours::ProblemIndicator, 1).isEmpty());
    }
};

QTEST_MAIN(tst_SyntaxColours)
#include "tst_SyntaxColours.moc"
