#include "gui/config/StartupOrderView.h"

#include "config/ConfigAnalysis.h"
#include "console/ConsoleRun.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QDir>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

StartupOrderView::StartupOrderView(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("startupOrder"));
    setWindowTitle(tr("Start-up Order"));
    auto *layout = new QVBoxLayout(this);
    m_engine = new QComboBox(this);
    m_engine->setObjectName(QStringLiteral("cboEngine"));
    for (const QString &id : EngineProfile::ids())
        m_engine->addItem(EngineProfile::name(id), id);
    auto *form = new QFormLayout;
    form->addRow(tr("&Engine:"), m_engine);
    layout->addLayout(form);
    connect(m_engine, &QComboBox::activated, this,
            [this](int index) { emit engineChosen(m_engine->itemData(index).toString()); });
    m_tree = new QTreeWidget(this);
    m_tree->setAccessibleName(tr("Files in the order the game runs them"));
    m_tree->setHeaderLabels({tr("File"), tr("Settings"), tr("Binds"), tr("Aliases"), tr("Problems")});
    m_tree->setUniformRowHeights(true);
    layout->addWidget(m_tree);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const QString path = item->data(0, Qt::UserRole).toString();
        if (!path.isEmpty())
            emit fileChosen(path);
    });
    resize(520, 360);
}

void StartupOrderView::setModel(const std::shared_ptr<const ConfigModel> &model)
{
    m_tree->clear();
    if (!model)
        return;
    m_engine->setCurrentIndex(std::max(0, m_engine->findData(model->profile.id())));
    if (model->console && model->console->endless)
        m_tree->setToolTip(tr("The start-up never ends: a script keeps running with waits."));
    QList<QTreeWidgetItem *> items;
    for (const StartupFile &file : model->files) {
        QTreeWidgetItem *parent = file.parent >= 0 ? items[file.parent] : nullptr;
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        QString name = file.name;
        if (file.path.isEmpty())
            name += tr(" (the game's own)");
        else if (file.onServer && file.depth == 0)
            name += tr(" (when a server starts a map)");
        else if (!file.atStartup && file.depth == 0)
            name += tr(" (not run at start-up)");
        item->setText(0, name);
        item->setToolTip(0, !file.path.isEmpty() ? QDir::toNativeSeparators(file.path)
                            : file.name == QLatin1String("valve.rc")
                                ? tr("No valve.rc in the game folder: the game runs its own, which runs autoexec.cfg")
                                : tr("No config.cfg yet: the game writes one when it quits, ending in exec userconfig.cfg"));
        item->setData(0, Qt::UserRole, file.path);
        item->setText(1, QString::number(file.settings));
        item->setText(2, QString::number(file.binds));
        item->setText(3, QString::number(file.aliases));
        item->setText(4, QString::number(file.problems));
        for (int column = 1; column <= 4; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    m_tree->expandAll();
    for (int column = 0; column < m_tree->columnCount(); ++column)
        m_tree->resizeColumnToContents(column);
}
