#include "gui/KeyBindings.h"

#include "config/ConfigAnalysis.h"
#include "config/GameFolder.h"
#include "editbox/EditBox.h"
#include "gui/ConfigView.h"
#include "gui/ConfigWatcher.h"
#include "gui/KeyBindingsView.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

KeyBindings::KeyBindings(QWidget &window, EditBox &box, ConfigView &config, const Catalogue &catalogue,
                         QMenu &viewMenu)
    : QObject(&window), m_window(window), m_box(box), m_config(config), m_known(catalogue), m_builder(m_known)
{
    m_view = new KeyBindingsView(&window);
    mnuKeyBindings = viewMenu.addAction(tr("&Key Bindings..."));
    mnuKeyBindings->setObjectName(QStringLiteral("mnuKeyBindings"));
    connect(mnuKeyBindings, &QAction::triggered, this, [this] {
        refresh();
        m_view->show();
        m_view->raise();
        m_view->activateWindow();
    });
    // Each analysis follows the text as it is edited.
    connect(&config.watcher(), &ConfigWatcher::analysed, this, [this] {
        if (m_view->isVisible())
            refresh();
    });
    connect(m_view, &KeyBindingsView::bindChosen, &config, &ConfigView::goTo);
}

void KeyBindings::refresh()
{
    const ConfigWatcher &watcher = m_config.watcher();
    const std::shared_ptr<const ConfigModel> model = watcher.model();
    const QString document = watcher.documentPath();
    if (!model) {
        const QString name = document.isEmpty() ? tr("the new document") : QDir::toNativeSeparators(document);
        m_view->setMap(m_builder.build(document, m_box.Text()), tr("Binds of %1 alone.").arg(name));
        return;
    }
    const QString text = m_box.Text();
    const BindMap map = m_builder.build(*model, [&](const QString &path) {
        if (path == document)
            return text;
        const Result<QString> read = readConfig(path);
        return read.ok() ? read.value() : QString();
    });
    m_view->setMap(map, tr("Binds the game runs at start-up from %1, with the open document as edited.")
                            .arg(QDir::toNativeSeparators(model->folder)));
}
