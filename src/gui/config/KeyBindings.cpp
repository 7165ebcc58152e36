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

#include "gui/dialogs/MatchMarks.h"
#include "gui/editbox/RichTextBox.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QFileInfo>
#include <QScreen>
#include <QDir>
#include <QMenu>
#include <QPointer>

KeyBindings::KeyBindings(QMainWindow &window, ConfigView &config, const Catalogue &catalogue,
                         QMenu &viewMenu)
    : QObject(&window), m_config(config), m_known(std::make_shared<CatalogueCommands>(catalogue)),
      m_builder(std::make_shared<BindMapBuilder>(*m_known)), m_catalogue(catalogue)
{
    m_dock = new QDockWidget(tr("Key Bindings"), &window);
    m_dock->setObjectName(QStringLiteral("frmKeyBindings"));
    m_view = new KeyBindingsView(m_dock);
    m_dock->setWidget(m_view);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();
    // A dock is shown and hidden, as Problems is: the item is ticked while it
    // shows. Not the dock's own toggle: that shows it docked first, which
    // squeezes the text for a moment and leaves the room to the other docks
    // once the picture floats.
    mnuKeyBindings = new QAction(tr("&Key Bindings"), this);
    mnuKeyBindings->setCheckable(true);
    mnuKeyBindings->setObjectName(QStringLiteral("mnuKeyBindings"));
    viewMenu.addAction(mnuKeyBindings);
    connect(mnuKeyBindings, &QAction::triggered, this, [this, &window](bool shown) {
        if (!shown) {
            m_dock->hide();
            return;
        }
        refresh();
        place(window);
        m_view->picture().setFocus();
    });
    connect(m_dock, &QDockWidget::visibilityChanged, mnuKeyBindings,
            [this] { mnuKeyBindings->setChecked(!m_dock->isHidden()); });
    // Each analysis follows the text as it is edited.
    connect(&config.watcher(), &ConfigWatcher::analysed, this, [this] {
        if (m_dock->isVisible())
            refresh();
    });
    connect(m_view, &KeyBindingsView::bindChosen, &config, &ConfigView::goTo);
    connect(m_view, &KeyBindingsView::bindRequested, this, [this](const QString &keyName, const QString &command) {
        if (const QString path = bindFile(); m_addBind && !path.isEmpty())
            m_addBind(path, bindLine(keyName, command));
    });
    // Then the picture moves off the line it went to.
    connect(m_view, &KeyBindingsView::bindChosen, this, &KeyBindings::keepLineInSight);
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

QString KeyBindings::bindLine(const QString &keyName, const QString &command)
{
    // The quotes keep a command line with ';' or spaces whole; a quote of its
    // own cannot stand inside them (COM_Parse in rehlds engine/common.cpp ends
    // a quoted token at the next quote), so it becomes a single one.
    QString runs = command;
    runs.replace(u'"', u'\'');
    return QStringLiteral("bind %1 \"%2\"").arg(keyName, runs);
}

// rehlds engine/host.cpp Host_WriteConfiguration ends config.cfg with
// "exec userconfig.cfg": a bind there comes last and survives the game
// rewriting config.cfg.
QString KeyBindings::bindFile() const
{
    const ConfigWatcher &watcher = m_config.watcher();
    QString folder;
    if (const auto model = watcher.model())
        folder = model->folder;
    else if (watcher.folder())
        folder = watcher.folder()->folder();
    else if (!watcher.documentPath().isEmpty())
        folder = QFileInfo(watcher.documentPath()).absolutePath();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("userconfig.cfg"));
}

// Under the text where the window has room for the keys and the text both;
// else floating beside the window, so the picture covers neither.
void KeyBindings::place(QMainWindow &window)
{
    const QSize least = m_view->minimumSizeHint();
    if (window.width() >= least.width() && window.height() / 2 >= least.height()) {
        m_dock->setFloating(false);
        m_dock->show();
        // The window's controls take no room of their own from the layout:
        // the picture opens at the height its keys want, leaving the text
        // at least half the window.
        window.resizeDocks({m_dock}, {qMin(m_view->sizeHint().height(), window.height() / 2)}, Qt::Vertical);
        return;
    }
    // Floated before it shows, so the window's layout never holds it.
    m_dock->setFloating(true);
    const QRect frame = window.frameGeometry();
    const QRect screen = (window.screen() ? window.screen() : m_dock->screen())->availableGeometry();
    QSize size = m_view->sizeHint().boundedTo(screen.size());
    m_dock->resize(size);
    size = m_dock->frameGeometry().size();
    // Right of the window, left of it, below it, above it: the first that
    // the screen holds; else the side with the most room.
    const QList<QRect> sides = {QRect(QPoint(frame.right() + 1, frame.top()), size),
                                QRect(QPoint(frame.left() - size.width(), frame.top()), size),
                                QRect(QPoint(frame.left(), frame.bottom() + 1), size),
                                QRect(QPoint(frame.left(), frame.top() - size.height()), size)};
    QRect best = sides.front();
    qint64 bestRoom = -1;
    for (const QRect &side : sides) {
        // Kept on the screen, it may overlap the window a little.
        QRect on = side;
        on.moveLeft(qBound(screen.left(), on.left(), qMax(screen.left(), screen.right() - on.width() + 1)));
        on.moveTop(qBound(screen.top(), on.top(), qMax(screen.top(), screen.bottom() - on.height() + 1)));
        const QRect covered = on.intersected(frame);
        const qint64 room = qint64(size.width()) * size.height() - qint64(covered.width()) * covered.height();
        if (room > bestRoom) {
            best = on;
            bestRoom = room;
        }
        if (covered.isEmpty())
            break;
    }
    m_dock->move(best.topLeft());
    m_dock->show();
}

void KeyBindings::keepLineInSight()
{
    auto *box = dynamic_cast<RichTextBox *>(&m_config.box());
    if (!box)
        return;
    if (!m_dock->isFloating()) {
        box->ensureCursorVisible();
        return;
    }
    // The whole row of the line: its text starts at the left edge.
    const QRect caret = MatchMarks::selectionOnScreen(*box);
    const QRect view(box->viewport()->mapToGlobal(QPoint(0, 0)), box->viewport()->size());
    const QRect line = QRect(view.left(), caret.top(), view.width(), caret.height()).adjusted(0, -4, 0, 4);
    const QRect place = m_dock->frameGeometry();
    if (!place.intersects(line))
        return;
    const QRect screen = (m_dock->screen() ? m_dock->screen() : box->screen())->availableGeometry();
    // Below the line where it has room, else above it, else beside the window.
    QPoint to(place.left(), line.bottom() + 1);
    if (to.y() + place.height() > screen.bottom())
        to.setY(line.top() - place.height());
    if (to.y() < screen.top()) {
        const QRect window = box->window()->frameGeometry();
        to = window.right() + place.width() <= screen.right() ? QPoint(window.right() + 1, place.top())
                                                                : QPoint(qMax(screen.left(), window.left() - place.width()), place.top());
    }
    m_dock->move(to);
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
        const QString folder = model ? model->folder : document.isEmpty() ? QString() : QFileInfo(document).absolutePath();
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
        QMetaObject::invokeMethod(self.data(), [self, request, map, source, folder] {
            // Only the latest request's map is drawn.
            if (self && request == self->m_requested)
                self->m_view->setMap(*map, source, folder);
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
