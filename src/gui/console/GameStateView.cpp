#include "gui/console/GameStateView.h"

#include "config/ConfigAnalysis.h"
#include "config/GameFolder.h"
#include "console/ConsoleRun.h"
#include "console/WrittenConfig.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Role { PathRole = Qt::UserRole, LineRole, KindRole, KeyRole };
enum Kind { Variable = 1, Bind, Alias };

const QList<ConsoleAssignment> *historyOf(const ConsoleState &state, int kind, const QString &key)
{
    if (kind == Variable) {
        const auto it = state.variables.constFind(key);
        return it == state.variables.cend() ? nullptr : &it->history;
    }
    if (kind == Bind) {
        const auto it = state.binds.constFind(key);
        return it == state.binds.cend() ? nullptr : &it->history;
    }
    const auto it = state.aliases.constFind(key);
    return it == state.aliases.cend() ? nullptr : &it->history;
}

QString shown(const ConsoleAssignment &a)
{
    switch (a.kind) {
    case ConsoleAssignment::Kind::Set:
        return QStringLiteral("\"%1\"").arg(QString(a.value).trimmed());
    case ConsoleAssignment::Kind::Removed:
        return QObject::tr("unbound");
    case ConsoleAssignment::Kind::Cleared:
        return QObject::tr("cleared by unbindall");
    }
    return {};
}

} // namespace

GameStateView::GameStateView(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGameState"));
    setWindowTitle(tr("Game State"));
    m_tabs = new QTabWidget(this);

    auto *statePage = new QWidget(m_tabs);
    m_filter = new QLineEdit(statePage);
    m_filter->setObjectName(QStringLiteral("txtStateFilter"));
    m_filter->setPlaceholderText(tr("Filter by name or value"));
    m_filter->setAccessibleName(tr("Filter the variables, binds and aliases"));
    m_filter->setClearButtonEnabled(true);
    m_tree = new QTreeWidget(statePage);
    m_tree->setObjectName(QStringLiteral("lstGameState"));
    m_tree->setAccessibleName(tr("Variables, binds and aliases as the start-up leaves them"));
    m_tree->setHeaderLabels({tr("Name"), tr("Value"), tr("Default"), tr("Where set")});
    m_tree->setUniformRowHeights(true);
    m_why = new QTextBrowser(statePage);
    m_why->setObjectName(QStringLiteral("txtWhyThisValue"));
    m_why->setAccessibleName(tr("Why this value"));
    auto *split = new QSplitter(Qt::Vertical, statePage);
    split->addWidget(m_tree);
    auto *whyBox = new QWidget(split);
    auto *whyLayout = new QVBoxLayout(whyBox);
    whyLayout->setContentsMargins(0, 0, 0, 0);
    whyLayout->addWidget(new QLabel(tr("Why this value:"), whyBox));
    whyLayout->addWidget(m_why);
    split->addWidget(whyBox);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto *stateLayout = new QVBoxLayout(statePage);
    stateLayout->addWidget(m_filter);
    stateLayout->addWidget(split, 1);
    m_tabs->addTab(statePage, tr("&State after start-up"));

    auto *writtenPage = new QWidget(m_tabs);
    m_written = new QPlainTextEdit(writtenPage);
    m_written->setObjectName(QStringLiteral("txtWrittenConfig"));
    m_written->setAccessibleName(tr("The config.cfg the game will write when it quits"));
    m_present = new QPlainTextEdit(writtenPage);
    m_present->setObjectName(QStringLiteral("txtPresentConfig"));
    m_present->setAccessibleName(tr("The present config.cfg, what will be lost marked"));
    for (QPlainTextEdit *edit : {m_written, m_present}) {
        edit->setReadOnly(true);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    auto *sides = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("What the game will write when it quits:"), writtenPage));
    left->addWidget(m_written);
    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(tr("config.cfg now (lost lines marked):"), writtenPage));
    right->addWidget(m_present);
    sides->addLayout(left);
    sides->addLayout(right);
    m_lost = new QLabel(writtenPage);
    m_lost->setWordWrap(true);
    m_lost->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *writtenLayout = new QVBoxLayout(writtenPage);
    writtenLayout->addLayout(sides, 1);
    writtenLayout->addWidget(m_lost);
    m_tabs->addTab(writtenPage, tr("config.cfg after &quitting"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &GameStateView::filter);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) { explain(item); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const QString path = item->data(0, PathRole).toString();
        if (!path.isEmpty())
            emit placeChosen(path, item->data(0, LineRole).toInt());
    });
    resize(820, 560);
}

void GameStateView::setModel(const std::shared_ptr<const ConfigModel> &model, const KnownCommands &known)
{
    m_model = model;
    fill();
    fillWritten(known);
}

void GameStateView::showWrittenConfig()
{
    m_tabs->setCurrentIndex(1);
}

void GameStateView::fill()
{
    const QString current = m_tree->currentItem() ? m_tree->currentItem()->data(0, KeyRole).toString() : QString();
    m_tree->clear();
    m_why->clear();
    if (!m_model || !m_model->console)
        return;
    const ConsoleState &state = m_model->console->state;
    auto group = [&](const QString &title, int count) {
        auto *item = new QTreeWidgetItem(m_tree, {QStringLiteral("%1 (%2)").arg(title).arg(count)});
        item->setFirstColumnSpanned(true);
        return item;
    };
    auto add = [&](QTreeWidgetItem *parent, int kind, const QString &key, const QString &name, const QString &value,
                   const QString &fallback, const QList<ConsoleAssignment> &history) {
        const ConsolePlace::FileLine at = history.isEmpty() ? ConsolePlace::FileLine() : history.back().place.fileLine();
        auto *item = new QTreeWidgetItem(parent, {name, value, fallback,
                                                  history.isEmpty() ? QString() : history.back().place.describe()});
        item->setData(0, PathRole, at.path);
        item->setData(0, LineRole, at.line);
        item->setData(0, KindRole, kind);
        item->setData(0, KeyRole, key);
        if (key == current)
            m_tree->setCurrentItem(item);
    };
    QStringList keys = state.variables.keys();
    keys.sort();
    QTreeWidgetItem *variables = group(tr("Variables"), int(keys.size()));
    for (const QString &key : keys) {
        const ConsoleVariable &v = state.variables[key];
        add(variables, Variable, key, v.name, v.value, v.defaultValue.value_or(QString()), v.history);
    }
    keys = state.binds.keys();
    keys.sort();
    QTreeWidgetItem *binds = group(tr("Binds"), int(keys.size()));
    for (const QString &key : keys) {
        const ConsoleBind &b = state.binds[key];
        add(binds, Bind, key, key, b.isBound() ? b.runs : tr("(free)"), QString(), b.history);
    }
    keys = state.aliases.keys();
    keys.sort();
    QTreeWidgetItem *aliases = group(tr("Aliases"), int(keys.size()));
    for (const QString &key : keys) {
        const ConsoleAlias &a = state.aliases[key];
        add(aliases, Alias, key, a.name, a.body.trimmed(), QString(), a.history);
    }
    m_tree->expandAll();
    m_tree->header()->resizeSections(QHeaderView::ResizeToContents);
    filter(m_filter->text());
}

void GameStateView::filter(const QString &text)
{
    for (int g = 0; g < m_tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = m_tree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            QTreeWidgetItem *item = group->child(i);
            item->setHidden(!text.isEmpty() && !item->text(0).contains(text, Qt::CaseInsensitive)
                            && !item->text(1).contains(text, Qt::CaseInsensitive));
        }
    }
}

// Every assignment in run order, the winner marked, the aliases that made them named.
void GameStateView::explain(QTreeWidgetItem *item)
{
    if (!item || !m_model || !m_model->console || item->data(0, KindRole).toInt() == 0) {
        m_why->clear();
        return;
    }
    const QList<ConsoleAssignment> *history =
        historyOf(m_model->console->state, item->data(0, KindRole).toInt(), item->data(0, KeyRole).toString());
    if (!history || history->isEmpty()) {
        m_why->setPlainText(tr("Nothing at start-up sets %1.").arg(item->text(0)));
        return;
    }
    QString html = QStringLiteral("<ol>");
    for (qsizetype i = 0; i < history->size(); ++i) {
        const ConsoleAssignment &a = (*history)[i];
        const bool winner = i == history->size() - 1;
        html += QStringLiteral("<li>%1%2: %3%4</li>")
                    .arg(winner ? QStringLiteral("<b>") : QString(), a.place.describe().toHtmlEscaped(),
                         shown(a).toHtmlEscaped(),
                         winner ? tr(" — this is what applies</b>") : QString());
    }
    html += QStringLiteral("</ol>");
    m_why->setHtml(html);
}

void GameStateView::fillWritten(const KnownCommands &known)
{
    if (!m_model || !m_model->console) {
        m_written->clear();
        m_present->clear();
        m_lost->clear();
        return;
    }
    m_written->setPlainText(WrittenConfig::text(m_model->console->state, known));
    const QString path = GameFolder::at(m_model->folder).find(QStringLiteral("config.cfg"));
    const Result<QString> present = path.isEmpty() ? Result<QString>(QString()) : readConfig(path);
    const QString text = present ? QString(present.value()).remove(u'\r') : QString();
    m_present->setPlainText(text);
    const QList<WrittenConfig::Lost> lost = WrittenConfig::lost(text, known);
    QList<QTextEdit::ExtraSelection> marks;
    QStringList said;
    for (const WrittenConfig::Lost &l : lost) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_present->document()->findBlockByNumber(l.line));
        mark.format.setBackground(QColor(0xf8, 0xd0, 0xd0));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
        said.append(tr("line %1: %2").arg(l.line + 1).arg(l.why));
    }
    m_present->setExtraSelections(marks);
    m_lost->setText(path.isEmpty() ? tr("The game folder has no config.cfg yet: the game writes it when it quits.")
                    : lost.isEmpty() ? tr("Nothing of the present config.cfg is lost.")
                                     : tr("Lost when the game quits — %1.").arg(said.join(QStringLiteral("; "))));
}
