#include "gui/config/KeyBindings.h"

#include "completion/BindMap.h"
#include "config/ConfigAnalysis.h"
#include "config/GameFolder.h"
#include "config/KnownCommands.h"
#include "editbox/EditBox.h"
#include "gui/config/ConfigView.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/config/KeyBindingsView.h"
#include "gui/config/KeyboardPicture.h"
#include "gui/console/KeyTracePane.h"
#include "console/ConsoleRun.h"
#include "console/KeyTraceText.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPointer>

KeyBindings::KeyBindings(QWidget &window, ConfigView &config, const Catalogue &catalogue,
                         QMenu &viewMenu)
    : QObject(&window), m_config(config), m_known(std::make_shared<CatalogueCommands>(catalogue)),
      m_builder(std::make_shared<BindMapBuilder>(*m_known)), m_catalogue(catalogue)
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
    connect(&m_view->picture(), &KeyboardPicture::keySelected, this, [this](const QString &key) { trace(key, false); });
    connect(&m_view->trace(), &KeyTracePane::pressAgain, this, [this] { trace(m_key, true); });
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

void KeyBindings::trace(const QString &key, bool again)
{
    const std::shared_ptr<const ConfigModel> model = m_config.watcher().model();
    if (!model || !model->console || key.isEmpty()) {
        m_view->trace().clear();
        return;
    }
    const GameFolder folder = GameFolder::at(model->folder);
    const EngineProfile profile = model->profile;
    // A file a key execs, read from the folder as the game would find it.
    const FindConsoleFile find = [folder, profile](const QString &name) -> std::shared_ptr<const ConsoleFile> {
        const QString path = folder.find(name);
        if (path.isEmpty())
            return nullptr;
        const Result<QString> text = readConfig(path);
        return std::make_shared<const ConsoleFile>(path, name, text ? text.value() : QString(), profile);
    };
    const ConsoleState *start = again && m_key == key && m_after ? m_after.get() : &model->console->state;
    if (!m_traceKnown)
        m_traceKnown = std::make_shared<CatalogueCommands>(m_catalogue);
    const ConsoleStartup::KeyRun run = ConsoleStartup::key(*start, key, profile, *m_traceKnown, find);
    m_key = key;
    m_after = std::make_shared<const ConsoleState>(run.after);
    m_view->trace().setTrace(KeyTraceText::frames(run), KeyTraceText::warnings(run), !run.runs.isEmpty());
}
