#include "gui/WindowState.h"

#include "documents/Prompts.h"
#include "documents/Texts.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QWheelEvent>

namespace {

constexpr qreal SmallestPoints = 4;

// The first local file among dropped addresses, or empty.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

WindowState::WindowState(QMainWindow &window, QPlainTextEdit &box, QMenu &recentMenu, Prompts &prompts,
                         std::function<void(const QString &)> open)
    : QObject(&window), m_window(window), m_box(box), m_recentMenu(recentMenu), m_prompts(prompts),
      m_open(std::move(open)), m_basePointSize(box.font().pointSizeF())
{
    // Files dropped anywhere on the window; the box itself takes no drops,
    // which would go past the undo engine.
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
    m_box.viewport()->installEventFilter(this);

    auto addZoom = [this](const QList<QKeySequence> &keys, const char *name, void (WindowState::*step)()) {
        auto *action = new QAction(&m_window);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, step);
        m_window.addAction(action);
    };
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, "zoomIn",
            &WindowState::zoomIn);
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, "zoomOut", &WindowState::zoomOut);
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_0)}, "zoomReset", &WindowState::zoomReset);
    fillRecentMenu();
}

void WindowState::restore(const QString &dataFolder)
{
    m_dataFolder = dataFolder;
    m_view = ViewSettings::load(dataFolder);
    if (!m_view.geometry.isEmpty())
        m_window.restoreGeometry(m_view.geometry);
    setZoom(m_view.zoom);
    if (m_completion)
        m_completion->setChecked(m_view.completion);
    fillRecentMenu();
}

QAction *WindowState::addCompletionItem(QMenu &viewMenu)
{
    m_completion = viewMenu.addAction(tr("&Completion"));
    m_completion->setObjectName(QStringLiteral("mnuCompletion"));
    m_completion->setCheckable(true);
    m_completion->setChecked(m_view.completion);
    connect(m_completion, &QAction::toggled, this, [this](bool on) { m_view.completion = on; });
    return m_completion;
}

Status WindowState::save()
{
    if (m_dataFolder.isEmpty())
        return Status::success();
    m_view.geometry = m_window.saveGeometry();
    return m_view.save(m_dataFolder);
}

void WindowState::addRecentFile(const QString &path)
{
    m_view.addRecentFile(path);
    fillRecentMenu();
}

void WindowState::setZoom(int steps)
{
    QFont font = m_box.font();
    const qreal points = qMax(SmallestPoints, m_basePointSize + steps);
    m_view.zoom = int(points - m_basePointSize);
    font.setPointSizeF(points);
    m_box.setFont(font);
}

void WindowState::fillRecentMenu()
{
    m_recentMenu.clear();
    const QStringList &recent = m_view.recentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        // "&1 config.cfg": a digit key picks it; the full path shows as its tip.
        QAction *item = m_recentMenu.addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName().replace(u'&', QStringLiteral("&&"))));
        item->setToolTip(path);
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    m_recentMenu.setToolTipsVisible(true);
    m_recentMenu.setEnabled(!recent.isEmpty());
}

void WindowState::openRecent(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_view.removeRecentFile(path);
        fillRecentMenu();
        m_prompts.showError(Texts::recentFileMissing(path));
        return;
    }
    m_open(path);
}

bool WindowState::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!droppedFile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            if (const QString path = droppedFile(drop->mimeData()); !path.isEmpty()) {
                drop->acceptProposedAction();
                // Asked about unsaved changes once the drop is over, not inside it.
                QMetaObject::invokeMethod(this, [this, path] { m_open(path); }, Qt::QueuedConnection);
                return true;
            }
        }
    } else if (watched == m_box.viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (const int dy = wheel->angleDelta().y(); dy != 0)
                dy > 0 ? zoomIn() : zoomOut();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
