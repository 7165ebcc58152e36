#include "gui/mods/frmDiff.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

using LineDiff::Kind;

namespace {

// Light enough to read black text on, told apart by more than hue alone:
// removed and added lines also carry "-" and "+".
const QColor RemovedColour(255, 215, 215);
const QColor AddedColour(210, 245, 210);
const QColor GapColour(235, 235, 235);

QPlainTextEdit *addView(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *view = new QPlainTextEdit(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAccessibleName(accessibleName);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return view;
}

// One block per line, its background telling what happened to it.
void appendLine(QTextCursor &cursor, const QString &text, const QColor &background)
{
    if (cursor.position() > 0)
        cursor.insertBlock();
    QTextBlockFormat format;
    if (background.isValid())
        format.setBackground(background);
    cursor.setBlockFormat(format);
    cursor.insertText(text);
}

QString numbered(int line, const QString &text)
{
    return QStringLiteral("%1  %2").arg(line, 4).arg(text);
}

} // namespace

frmDiff::frmDiff(const QString &question, const QString &currentTitle, const QString &current,
                 const QString &versionTitle, const QString &version, QWidget *parent)
    : QDialog(parent),
      m_lines(LineDiff::compare(LineDiff::splitLines(current), LineDiff::splitLines(version)))
{
    setObjectName(QStringLiteral("frmDiff"));
    setWindowTitle(QStringLiteral("Before the restore"));
    resize(900, 560);

    lblQuestion = new QLabel(question, this);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));
    lblQuestion->setWordWrap(true);
    int removed = 0, added = 0;
    for (const LineDiff::Line &line : m_lines) {
        removed += line.kind == Kind::Removed;
        added += line.kind == Kind::Added;
    }
    lblSummary = new QLabel(QStringLiteral("The restore takes out %1 line(s), shown in red, and puts in %2 line(s), "
                                           "shown in green.")
                                .arg(removed)
                                .arg(added),
                            this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));

    optSideBySide = new QRadioButton(QStringLiteral("&Side by side"), this);
    optSideBySide->setObjectName(QStringLiteral("optSideBySide"));
    optUnified = new QRadioButton(QStringLiteral("&Unified"), this);
    optUnified->setObjectName(QStringLiteral("optUnified"));
    optSideBySide->setChecked(true);

    views = new QStackedWidget(this);
    auto *sides = new QWidget(views);
    lblLeft = new QLabel(currentTitle, sides);
    lblRight = new QLabel(versionTitle, sides);
    txtLeft = addView(sides, "txtLeft", tr("The file now: %1").arg(currentTitle));
    txtRight = addView(sides, "txtRight", tr("After the restore: %1").arg(versionTitle));
    auto *grid = new QGridLayout(sides);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblLeft, 0, 0);
    grid->addWidget(lblRight, 0, 1);
    grid->addWidget(txtLeft, 1, 0);
    grid->addWidget(txtRight, 1, 1);
    txtUnified = addView(views, "txtUnified", tr("Differences, unified"));
    views->addWidget(sides);
    views->addWidget(txtUnified);

    // The two sides scroll as one.
    connect(txtLeft->verticalScrollBar(), &QScrollBar::valueChanged, txtRight->verticalScrollBar(), &QScrollBar::setValue);
    connect(txtRight->verticalScrollBar(), &QScrollBar::valueChanged, txtLeft->verticalScrollBar(), &QScrollBar::setValue);

    cmdRestore = new QPushButton(QStringLiteral("&Restore"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setDefault(true); // Enter does not swap files unseen

    auto *choice = new QHBoxLayout;
    choice->addWidget(optSideBySide);
    choice->addWidget(optUnified);
    choice->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblQuestion);
    layout->addWidget(lblSummary);
    layout->addLayout(choice);
    layout->addWidget(views, 1);
    layout->addLayout(buttons);

    connect(optSideBySide, &QRadioButton::clicked, this, &frmDiff::optSideBySide_Click);
    connect(optUnified, &QRadioButton::clicked, this, &frmDiff::optUnified_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    fillSideBySide();
    fillUnified();
    cmdCancel->setFocus();
}

void frmDiff::optSideBySide_Click()
{
    optSideBySide->setChecked(true);
    views->setCurrentIndex(0);
}

void frmDiff::optUnified_Click()
{
    optUnified->setChecked(true);
    views->setCurrentIndex(1);
}

void frmDiff::fillSideBySide()
{
    QTextCursor left(txtLeft->document());
    QTextCursor right(txtRight->document());
    for (const LineDiff::Row &row : LineDiff::sideBySide(m_lines)) {
        if (row.left >= 0) {
            const LineDiff::Line &line = m_lines[row.left];
            appendLine(left, numbered(line.oldLine, line.text), line.kind == Kind::Same ? QColor() : RemovedColour);
        } else {
            appendLine(left, QString(), GapColour);
        }
        if (row.right >= 0) {
            const LineDiff::Line &line = m_lines[row.right];
            appendLine(right, numbered(line.newLine, line.text), line.kind == Kind::Same ? QColor() : AddedColour);
        } else {
            appendLine(right, QString(), GapColour);
        }
    }
}

// Each line with its number in the file now and after the restore.
void frmDiff::fillUnified()
{
    QTextCursor cursor(txtUnified->document());
    auto number = [](int line) { return line > 0 ? QString::number(line) : QString(); };
    for (const LineDiff::Line &line : m_lines) {
        const QString numbers = QStringLiteral("%1 %2 ").arg(number(line.oldLine), 4).arg(number(line.newLine), 4);
        switch (line.kind) {
        case Kind::Same:
            appendLine(cursor, numbers + QStringLiteral("  ") + line.text, QColor());
            break;
        case Kind::Removed:
            appendLine(cursor, numbers + QStringLiteral("- ") + line.text, RemovedColour);
            break;
        case Kind::Added:
            appendLine(cursor, numbers + QStringLiteral("+ ") + line.text, AddedColour);
            break;
        }
    }
}

// The views open at the first change, with a few lines before it.
void frmDiff::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownFirstChange)
        return;
    m_shownFirstChange = true;
    const auto changed = std::find_if(m_lines.cbegin(), m_lines.cend(),
                                      [](const LineDiff::Line &line) { return line.kind != Kind::Same; });
    const int unifiedRow = changed == m_lines.cend() ? 0 : int(changed - m_lines.cbegin());
    int sideRow = 0;
    const QList<LineDiff::Row> rows = LineDiff::sideBySide(m_lines);
    while (sideRow < rows.size()) {
        const LineDiff::Row &row = rows[sideRow];
        if (row.left < 0 || row.right < 0 || m_lines[row.left].kind != Kind::Same)
            break;
        ++sideRow;
    }
    if (sideRow == rows.size())
        sideRow = 0;
    constexpr int Context = 3;
    for (QPlainTextEdit *view : {txtLeft, txtRight, txtUnified}) {
        const int row = view == txtUnified ? unifiedRow : sideRow;
        QTextCursor at(view->document()->findBlockByNumber(row));
        view->setTextCursor(at);
        view->verticalScrollBar()->setValue(qMax(0, row - Context));
    }
}

QString frmDiff::unifiedText() const
{
    return txtUnified->toPlainText();
}

QStringList frmDiff::sideTexts() const
{
    return {txtLeft->toPlainText(), txtRight->toPlainText()};
}
