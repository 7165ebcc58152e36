#include "gui/config/ProblemsPanel.h"

#include "config/ConfigAnalysis.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { FileColumn, LineColumn, MessageColumn };
constexpr int PathRole = Qt::UserRole;
constexpr int LineRole = Qt::UserRole + 1;

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
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({tr("File"), tr("Line"), tr("Problem")});
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list);
    setWidget(body);
    auto choose = [this](QTreeWidgetItem *item) {
        if (item)
            emit problemChosen(item->data(FileColumn, PathRole).toString(), item->data(FileColumn, LineRole).toInt());
    };
    connect(m_list, &QTreeWidget::itemActivated, this, choose);
    connect(m_list, &QTreeWidget::itemClicked, this, choose);
}

void ProblemsPanel::setModel(const std::shared_ptr<const ConfigModel> &model, const QString &notice)
{
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    if (model) {
        for (const ConfigProblem &problem : model->problems) {
            auto *item = new QTreeWidgetItem;
            item->setText(FileColumn, problem.path.isEmpty() ? QStringLiteral("valve.rc")
                                                              : QFileInfo(problem.path).fileName());
            item->setToolTip(FileColumn, QDir::toNativeSeparators(problem.path));
            item->setText(LineColumn, QString::number(problem.line + 1));
            item->setText(MessageColumn, problem.message);
            item->setToolTip(MessageColumn, problem.message);
            item->setData(FileColumn, PathRole, problem.path);
            item->setData(FileColumn, LineRole, problem.line);
            items.append(item);
        }
    }
    m_list->addTopLevelItems(items);
    m_list->resizeColumnToContents(FileColumn);
    m_list->resizeColumnToContents(LineColumn);
    m_list->setUpdatesEnabled(true);
}
