#include "gui/config/ProblemsPanel.h"

#include "config/ConfigAnalysis.h"
#include "config/ProblemGroups.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { FileColumn, LineColumn, MessageColumn, CodeColumn };
constexpr int PathRole = Qt::UserRole;
constexpr int LineRole = Qt::UserRole + 1;
constexpr int NameRole = Qt::UserRole + 2;     // an unknown name's line: the name
constexpr int AcceptedRole = Qt::UserRole + 3; // a name declared fine
constexpr int RuleRole = Qt::UserRole + 4;

QIcon iconFor(ProblemWeight weight)
{
    QStyle *style = QApplication::style();
    switch (weight) {
    case ProblemWeight::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case ProblemWeight::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case ProblemWeight::Notice:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

} // namespace

ProblemsPanel::ProblemsPanel(QWidget *parent) : QDockWidget(tr("Problems"), parent)
{
    setObjectName(QStringLiteral("problemsPanel"));
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_notice = new QLabel(body);
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->hide();
    layout->addWidget(m_notice);
    m_list = new QTreeWidget(body);
    m_list->setAccessibleName(tr("Problems of the configuration"));
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({tr("File"), tr("Line"), tr("Problem"), tr("Code")});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(MessageColumn, QHeaderView::Stretch);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_list);
    setWidget(body);
    auto choose = [this](QTreeWidgetItem *item) {
        if (item && !item->data(FileColumn, PathRole).isNull())
            emit problemChosen(item->data(FileColumn, PathRole).toString(), item->data(FileColumn, LineRole).toInt());
    };
    connect(m_list, &QTreeWidget::itemActivated, this, choose);
    connect(m_list, &QTreeWidget::itemClicked, this, choose);
    connect(m_list, &QTreeWidget::customContextMenuRequested, this, &ProblemsPanel::showMenu);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && !m_filled)
            fill();
    });
}

// `icons`: each weight's, made once for a whole list.
QTreeWidgetItem *ProblemsPanel::problemItem(const ConfigModel &model, int index, const QIcon *icons) const
{
    const ConfigProblem &problem = model.problems[index];
    auto *item = new QTreeWidgetItem;
    item->setText(FileColumn, problem.path.isEmpty() ? QStringLiteral("valve.rc") : QFileInfo(problem.path).fileName());
    item->setToolTip(FileColumn, QDir::toNativeSeparators(problem.path));
    item->setText(LineColumn, QString::number(problem.line + 1));
    item->setText(MessageColumn, problem.message);
    item->setToolTip(MessageColumn, problem.message);
    item->setIcon(MessageColumn, icons[int(problem.weight())]);
    item->setText(CodeColumn, problem.code());
    item->setToolTip(CodeColumn, ProblemRules::weightWord(problem.weight()));
    item->setData(FileColumn, PathRole, problem.path);
    item->setData(FileColumn, LineRole, problem.line);
    item->setData(FileColumn, RuleRole, int(problem.rule));
    if (ProblemRules::isAboutName(problem.rule))
        item->setData(FileColumn, NameRole, problem.name);
    return item;
}

void ProblemsPanel::setModel(const std::shared_ptr<const ConfigModel> &model, const QString &notice,
                             const QStringList &accepted)
{
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    m_model = model;
    m_accepted = accepted;
    const QString title = model ? tr("Problems: %1").arg(countProblems(model->problems).text()) : tr("Problems");
    setWindowTitle(title);
    // The menu item keeps its own words; the dock's title carries the counts.
    toggleViewAction()->setText(tr("&Problems"));
    // A large folder's list takes long to make, and the panel is often closed.
    m_filled = false;
    if (isVisible())
        fill();
}

void ProblemsPanel::fill()
{
    m_filled = true;
    const std::shared_ptr<const ConfigModel> &model = m_model;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    if (model) {
        const ProblemCounts counts = countProblems(model->problems);
        QIcon icons[3];
        for (const ProblemWeight weight : {ProblemWeight::Error, ProblemWeight::Warning, ProblemWeight::Notice})
            icons[int(weight)] = iconFor(weight);
        // Notices are harmless: under one line of their own, collapsed, after
        // the errors and warnings.
        QTreeWidgetItem *notices = nullptr;
        if (counts.notices > 0) {
            notices = new QTreeWidgetItem;
            notices->setIcon(MessageColumn, iconFor(ProblemWeight::Notice));
            notices->setText(MessageColumn, counts.notices == 1 ? tr("1 notice: harmless, said so you know whose a name is")
                                                                : tr("%1 notices: harmless, said so you know whose a name is")
                                                                      .arg(counts.notices));
        }
        for (const ProblemGroup &group : groupProblems(model->problems)) {
            QTreeWidgetItem *first = problemItem(*model, group.members.front(), icons);
            const bool notice = model->problems[group.members.front()].weight() == ProblemWeight::Notice;
            if (!group.isGroup()) {
                if (notice)
                    notices->addChild(first);
                else
                    items.append(first);
                continue;
            }
            // One line for the name, its uses under it, collapsed.
            auto *line = new QTreeWidgetItem(*first);
            // A line of several names takes none as fine at once.
            if (group.severalNames)
                line->setData(FileColumn, NameRole, QVariant());
            line->setText(MessageColumn, group.text);
            line->setToolTip(MessageColumn, group.text);
            for (const int i : group.members)
                line->addChild(problemItem(*model, i, icons));
            delete first;
            if (notice)
                notices->addChild(line);
            else
                items.append(line);
        }
        if (notices)
            items.append(notices);
        if (!m_accepted.isEmpty()) {
            auto *fine = new QTreeWidgetItem;
            fine->setText(MessageColumn, tr("Names declared fine in this game folder (%1)").arg(m_accepted.size()));
            for (const QString &name : std::as_const(m_accepted)) {
                auto *item = new QTreeWidgetItem(fine);
                item->setText(MessageColumn, name);
                item->setToolTip(MessageColumn, tr("Right-click to take it back"));
                item->setData(FileColumn, AcceptedRole, name);
            }
            items.append(fine);
        }
    }
    m_list->addTopLevelItems(items);
    m_list->resizeColumnToContents(FileColumn);
    m_list->resizeColumnToContents(LineColumn);
    m_list->resizeColumnToContents(CodeColumn);
    m_list->setUpdatesEnabled(true);
}

void ProblemsPanel::showMenu(const QPoint &at)
{
    QTreeWidgetItem *item = m_list->itemAt(at);
    if (!item)
        return;
    QMenu menu(this);
    const QString name = item->data(FileColumn, NameRole).toString();
    const QString accepted = item->data(FileColumn, AcceptedRole).toString();
    const auto rule = ProblemRule(item->data(FileColumn, RuleRole).toInt());
    if (!name.isEmpty()) {
        QAction *fine = menu.addAction(tr("This Name Is &Fine"));
        fine->setObjectName(QStringLiteral("mnuNameIsFine"));
        connect(fine, &QAction::triggered, this, [this, name] { emit nameAccepted(name); });
    }
    if (!accepted.isEmpty()) {
        QAction *back = menu.addAction(tr("&Take Back \"%1\"").arg(accepted));
        connect(back, &QAction::triggered, this, [this, accepted] { emit nameRemoved(accepted); });
    }
    if (!item->data(FileColumn, RuleRole).isNull()
        && (rule == ProblemRule::SettingReplaced || rule == ProblemRule::BindReplaced)) {
        const QString path = item->data(FileColumn, PathRole).toString();
        const int line = item->data(FileColumn, LineRole).toInt();
        QAction *move = menu.addAction(tr("&Move to userconfig.cfg"));
        move->setObjectName(QStringLiteral("mnuMoveToUserconfig"));
        connect(move, &QAction::triggered, this, [this, path, line] { emit moveToUserconfig(path, line); });
    }
    if (!menu.isEmpty())
        menu.exec(m_list->viewport()->mapToGlobal(at));
}
