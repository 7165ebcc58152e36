#include "gui/config/KeyBindings.h"

#include "completion/BindMap.h"
#include "config/ConfigAnalysis.h"
#include "config/GameFolder.h"
#include "config/KnownCommands.h"
#include "editbox/EditBox.h"
#include "gui/config/ConfigView.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/config/KeyBindingsView.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPointer>

KeyBindings::KeyBindings(QWidget &window, ConfigView &config, const Catalogue &catalogue,
                         QMenu &viewMenu)
    : QObject(&window), m_config(config), m_known(std::make_shared<CatalogueCommands>(catalogue)),
      m_builder(std::make_shared<BindMapBuilder>(*m_known))
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
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("key bindings"));
    m_thread.start(QThread::LowPriority);
}

KeyBindings::~KeyBindings()
{
    m_thread.quit();
    m_thread.wait();
}

void KeyBindings::refresh()
{
    const ConfigWatcher &watcher = m_config.watcher();
    const quint64 request = ++m_requested;
    QPointer<KeyBindings> self(this);
    QMetaObject::invokeMethod(m_worker, [self, request, builder = m_builder, known = m_known,
                                         model = watcher.model(), document = watcher.documentPath(),
                                         text = m_config.box().textSnapshot()] {
        auto map = std::make_shared<BindMap>();
        QString source;
        if (!model) {
            *map = builder->build(document, text());
            source = tr("Binds of %1 alone.")
                         .arg(document.isEmpty() ? tr("the new document") : QDir::toNativeSeparators(document));
        } else {
            const QString documentText = text();
            *map = builder->build(*model, [&](const QString &path) {
                if (path == document)
                    return documentText;
                const Result<QString> read = readConfig(path);
                return read.ok() ? read.value() : QString();
            });
            source = tr("Binds the game runs at start-up from %1, with the open document as edited.")
                         .arg(QDir::toNativeSeparators(model->folder));
        }
        QMetaObject::invokeMethod(self.data(), [self, request, map, source] {
            // Only the latest request's map is drawn.
            if (self && request == self->m_requested)
                self->m_view->setMap(*map, source);
        });
    });
}
