#include "editor/SyntaxColours.h"

#include "TestCatalogue.h"
#include "editor/MemoryClipboard.h"
#include "editor/RichTextBox.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

double luminance(const QColor &c)
{
    const auto ch = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
}

bool underlined(const QTextBlock &block)
{
    const QList<QTextLayout::FormatRange> formats = block.layout()->formats();
    return std::any_of(formats.begin(), formats.end(), [](const QTextLayout::FormatRange &r) {
        return r.format.underlineStyle() == QTextCharFormat::WaveUnderline;
    });
}

} // namespace

class tst_SyntaxColours : public QObject
{
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue = testCatalogue();
    MemoryClipboard m_clipboard;
    std::unique_ptr<RichTextBox> m_box;
    std::unique_ptr<SyntaxColours> m_colours;
    int m_changes = 0;

    QTextBlock block(int number) const { return m_box->document()->findBlockByNumber(number); }

    // The viewport point over a character of a block.
    QPoint over(int blockNumber, int column) const
    {
        QTextCursor at(block(blockNumber));
        at.setPosition(at.position() + column);
        return m_box->cursorRect(at).center() + QPoint(2, 0);
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

    void coloursOnlyVisibleBlocks()
    {
        m_box->setText(QStringLiteral("sensitivity 300\r\n").repeated(3000));
        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
        QCoreApplication::processEvents();
        QVERIFY(underlined(block(0)));
        QVERIFY(block(2000).layout()->formats().isEmpty());
        m_box->verticalScrollBar()->setValue(m_box->verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        QVERIFY(underlined(block(2999)));
        QVERIFY(block(1500).layout()->formats().isEmpty());
    }

    // Colouring is no edit: the box's change notification, the document's
    // change signals, its modified flag and undo stay untouched.
    void colouringChangesNothing()
    {
        const QString text = QStringLiteral("bind \"x\" \"volume 2\"\r\nsensitivity 300 // fast\r\n").repeated(200);
        m_box->setText(text);
        m_box->document()->setModified(false);
        m_box->setModified(false);
        m_changes = 0;
        const QString rtf = m_box->TextRTF();
        QSignalSpy contents(m_box->document(), &QTextDocument::contentsChange);
        QSignalSpy changed(m_box->document(), &QTextDocument::contentsChanged);
        QSignalSpy undo(m_box->document(), &QTextDocument::undoCommandAdded);

        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
        QCoreApplication::processEvents();
        m_box->verticalScrollBar()->setValue(50);
        QCoreApplication::processEvents();
        m_colours->setSyntax(FileSyntax::Fgd);
        QCoreApplication::processEvents();
        QPalette dark = m_box->palette();
        dark.setColor(QPalette::Base, Qt::black);
        m_box->setPalette(dark);
        m_box->resize(300, 200);
        QCoreApplication::processEvents();
        m_box->viewport()->repaint();

        QVERIFY(!block(50).layout()->formats().isEmpty());
        QCOMPARE(m_changes, 0);
        QCOMPARE(contents.count(), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(undo.count(), 0);
        QVERIFY(!m_box->document()->isModified());
        QVERIFY(!m_box->isModified());
        QCOMPARE(m_box->Text(), text);
        QCOMPARE(m_box->TextRTF(), rtf);

        // An edit still raises exactly one notification.
        m_box->setSelStart(0);
        QTest::keyClick(m_box.get(), Qt::Key_X);
        QCoreApplication::processEvents();
        QCOMPARE(m_changes, 1);
    }

    // The check follows an edit of a line on screen, even when the line gets shorter.
    void followsEdits()
    {
        m_box->setText(QStringLiteral("volume 0.5\r\nsensitivity 300\r\n"));
        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
        QCoreApplication::processEvents();
        QVERIFY(!underlined(block(0)));
        QVERIFY(underlined(block(1)));
        m_box->setSelStart(20); // after "sensitivity 3"
        m_box->setSelLength(2);
        m_box->setSelText(QString());
        m_box->viewport()->repaint(); // painting before the pass is safe
        m_box->setSelStart(7);
        m_box->setSelLength(3);
        m_box->setSelText(QStringLiteral("9"));
        QCoreApplication::processEvents();
        QVERIFY(underlined(block(0)));
        QVERIFY(!underlined(block(1)));
        // Another file type recolours the unchanged lines too.
        m_colours->setSyntax(FileSyntax::Plain);
        QCoreApplication::processEvents();
        QVERIFY(!underlined(block(0)));
    }

    void toolTips_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("known name") << 0 << 3 << "Mouse sensitivity (Range: 0.1-10) (default 3)";
        QTest::newRow("bad value") << 0 << 13
                                   << "sensitivity takes a number from 0.1 to 10 (Range: 0.1-10): 300 is above 10";
        QTest::newRow("misspelt name") << 1 << 2 << "";
        QTest::newRow("value in range") << 1 << 11 << "";
        QTest::newRow("past the line's end") << 2 << 20 << "";
    }
    void toolTips()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, text);
        m_box->setText(QStringLiteral("sensitivity 300\r\nsensitivty 3\r\nvolume\r\n"));
        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
        const QPoint point = column < block(line).length() ? over(line, column) : over(line, 0) + QPoint(300, 0);
        QCOMPARE(m_colours->toolTipAt(point), text);
    }

    // Every colour reads on both a light and a dark background.
    void readableOnLightAndDark()
    {
        for (const auto &[base, text] : {std::pair{QColor(Qt::white), QColor(Qt::black)},
                                          std::pair{QColor(30, 30, 30), QColor(220, 220, 220)}}) {
            QPalette palette;
            palette.setColor(QPalette::Base, base);
            palette.setColor(QPalette::Text, text);
            const SyntaxColours::Formats formats = SyntaxColours::formatsFor(palette);
            QList<QColor> colours{formats.badValue.underlineColor()};
            for (const QTextCharFormat &f : formats.kind) {
                if (f.hasProperty(QTextFormat::ForegroundBrush))
                    colours << f.foreground().color();
            }
            QCOMPARE(colours.size(), 9); // all kinds but plain, and the underline
            for (const QColor &c : colours) {
                const double a = luminance(c) + 0.05;
                const double b = luminance(base) + 0.05;
                QVERIFY2(qMax(a, b) / qMin(a, b) >= 4.5, qPrintable(c.name() + " on " + base.name()));
            }
        }
    }
};

QTEST_MAIN(tst_SyntaxColours)
#include "tst_SyntaxColours.moc"
