#include "gui/window/WindowState.h"

#include "documents/Prompts.h"
#include "documents/Texts.h"
#include "settings/FileName.h"
#include "settings/RegularFile.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

namespace {

constexpr qreal SmallestPoints = 4;
// After a file is opened, the recent files are written this much later,
// once for files opened together.
constexpr int RecentWriteDelayMs = 300;
// A remembered window smaller than this (a damaged file) gets its start size back.
constexpr QSize SmallestWindow(200, 150);

// The local files among dropped addresses, each to open in a tab of its
// own; with firstOnly, whether there is one (asked at every mouse move of a drag).
QStringList droppedFiles(const QMimeData *data, bool firstOnly = false)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList files;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // The name's own bytes: toLocalFile() would turn a Latin-1 "caf%E9.cfg" into another name.
        const QString path = FileName::fromNative(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        if (RegularFile::exists(path) && RegularFile::check(path)) {
            files << path;
            if (firstOnly)
                break;
        }
    }
    return files;
}

} // namespace

WindowState::WindowState(QMainWindow &window, QAbstractScrollArea &box, QMenu &recentMenu, Prompts &prompts,
                         std::function<void(const QString &)> open)
    : QObject(&window), m_window(window), m_box(&box), m_recentMenu(recentMenu), m_prompts(prompts),
      m_open(std::move(open)), m_basePointSize(box.font().pointSizeF()), m_defaultFamily(box.font().family()),
      m_defaultPoints(box.font().pointSizeF())
{
    // Files dropped anywhere on the window; the box itself takes no drops,
    // which would go past the undo engine.
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
    m_box->viewport()->installEventFilter(this);

    auto addZoom = [this](const QList<QKeySequence> &keys, const QString &text, const char *name,
                          void (WindowState::*step)()) {
        auto *action = new QAction(text, &m_window);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, step);
        m_window.addAction(action);
        return action;
    };
    m_zoomIn = addZoom({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                       tr("Zoom &In"), "zoomIn", &WindowState::zoomIn);
    m_zoomOut = addZoom({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, tr("Zoom O&ut"), "zoomOut", &WindowState::zoomOut);
    m_zoomReset = addZoom({QKeySequence(Qt::CTRL | Qt::Key_0)}, tr("&Reset Zoom"), "zoomReset",
                          &WindowState::zoomReset);
    fillRecentMenu();
    m_recentWrite = new QTimer(this);
    m_recentWrite->setSingleShot(true);
    m_recentWrite->setInterval(RecentWriteDelayMs);
    connect(m_recentWrite, &QTimer::timeout, this, [this] {
        // A failure is told when the window closes and writes everything.
        if (!m_dataFolder.isEmpty())
            (void)m_view.saveRecentFiles(m_dataFolder);
    });
    // Other windows of the data folder may have opened files since.
    connect(&m_recentMenu, &QMenu::aboutToShow, this, [this] {
        if (m_dataFolder.isEmpty())
            return;
        m_view.refreshRecentFiles(m_dataFolder);
        fillRecentMenu();
    });
}

void WindowState::setBox(QAbstractScrollArea &box)
{
    if (m_box == &box)
        return;
    m_box->viewport()->removeEventFilter(this);
    // The tab in front shows the font and zoom the others had; setting the
    // same font again would lay out a large document anew.
    if (box.font() != m_box->font())
        box.setFont(m_box->font());
    m_box = &box;
    m_box->viewport()->installEventFilter(this);
}

void WindowState::restore(const QString &dataFolder)
{
    m_dataFolder = dataFolder;
    Status read = Status::success();
    m_view = ViewSettings::load(dataFolder, &read);
    if (!read)
        m_prompts.showError(read.error());
    const QSize startSize = m_window.size();
    if (!m_view.geometry.isEmpty() && m_window.restoreGeometry(m_view.geometry))
        keepOnScreen(startSize);
    const int zoom = m_view.zoom;
    if (!m_view.fontFamily.isEmpty()) {
        QFont chosen(m_view.fontFamily);
        chosen.setPointSizeF(m_view.fontPoints);
        setEditorFont(chosen);
    }
    setZoom(zoom);
    if (m_completion)
        m_completion->setChecked(m_view.completion);
    fillRecentMenu();
}

void WindowState::addViewItems(QMenu &viewMenu)
{
    viewMenu.addSeparator();
    viewMenu.addAction(m_zoomIn);
    viewMenu.addAction(m_zoomOut);
    viewMenu.addAction(m_zoomReset);
    QAction *font = viewMenu.addAction(tr("&Font..."));
    font->setObjectName(QStringLiteral("mnuFont"));
    connect(font, &QAction::triggered, this, &WindowState::chooseFont);
}

void WindowState::setEditorFont(const QFont &font)
{
    QFont base = font;
    base.setPointSizeF(qBound(qreal(ViewSettings::SmallestFont), font.pointSizeF() > 0 ? font.pointSizeF()
                                                                                         : m_defaultPoints,
                              qreal(ViewSettings::LargestFont)));
    m_basePointSize = base.pointSizeF();
    const bool isDefault = base.family() == m_defaultFamily && qFuzzyCompare(m_basePointSize, m_defaultPoints);
    m_view.fontFamily = isDefault ? QString() : base.family();
    m_view.fontPoints = isDefault ? 0 : m_basePointSize;
    // The lexer's styles and the margin follow the box's font.
    m_box->setFont(base);
    setZoom(0);
}

QFont WindowState::editorFont() const
{
    QFont font = m_box->font();
    font.setPointSizeF(m_basePointSize);
    return font;
}

void WindowState::chooseFont()
{
    QFont start = editorFont();
    // The default is a proportional font: a fixed one is offered first.
    if (m_view.fontFamily.isEmpty()) {
        // The family it resolves to: the dialog lists real families, not aliases such as "monospace".
        start.setFamily(QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
    }
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, &m_window, tr("Font"));
    if (ok)
        setEditorFont(chosen);
}

QAction *WindowState::addCompletionItem(QMenu &viewMenu)
{
    m_completion = viewMenu.addAction(tr("Co&mpletion"));
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
    m_recentWrite->stop();
    return m_view.save(m_dataFolder);
}

Status WindowState::setFamiliesOff(const QStringList &ids)
{
    m_view.familiesOff = ids;
    return save();
}

void WindowState::addRecentFile(const QString &path)
{
    m_view.addRecentFile(path);
    keepRecentFiles();
    fillRecentMenu();
}

// Written soon, so the other windows' menus and a crash keep it, but not
// while a file opens: writing the settings file safely takes milliseconds.
void WindowState::keepRecentFiles()
{
    m_recentWrite->start();
}

// A place remembered under another screen setup, or read from a damaged
// file, must leave the window whole on an available screen and usable.
void WindowState::keepOnScreen(const QSize &startSize)
{
    if (m_window.isMaximized() || m_window.isFullScreen())
        return;
    const QRect restored = m_window.geometry();
    QScreen *screen = QGuiApplication::screenAt(restored.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QMargins frame(restored.left() - m_window.frameGeometry().left(),
                   restored.top() - m_window.frameGeometry().top(),
                   m_window.frameGeometry().right() - restored.right(),
                   m_window.frameGeometry().bottom() - restored.bottom());
    // Before the window is shown its frame is not known yet: room is left for one.
    if (frame.isNull()) {
        const int border = m_window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
        frame = QMargins(border, m_window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border);
    }
    QSize size = restored.size();
    if (size.width() < SmallestWindow.width() || size.height() < SmallestWindow.height())
        size = startSize;
    size = size.boundedTo(area.marginsRemoved(frame).size());
    QRect placed = QRect(restored.topLeft(), size).marginsAdded(frame);
    if (placed.right() > area.right())
        placed.moveRight(area.right());
    if (placed.bottom() > area.bottom())
        placed.moveBottom(area.bottom());
    if (placed.left() < area.left())
        placed.moveLeft(area.left());
    if (placed.top() < area.top())
        placed.moveTop(area.top());
    placed = placed.marginsRemoved(frame);
    if (placed != restored)
        m_window.setGeometry(placed);
}

void WindowState::setZoom(int steps)
{
    QFont font = m_box->font();
    const qreal points = qMax(SmallestPoints, m_basePointSize + steps);
    m_view.zoom = int(points - m_basePointSize);
    font.setPointSizeF(points);
    m_box->setFont(font);
}

void WindowState::fillRecentMenu()
{
    m_recentMenu.clear();
    const QStringList &recent = m_view.recentFiles();
    QHash<QString, int> named;
    for (const QString &path : recent)
        ++named[QFileInfo(FileName::shown(path)).fileName()];
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        // "&1 config.cfg": a digit key picks it; the full path shows as its tip.
        // Files of one name (every mod has its config.cfg) show their folders.
        const QFileInfo file(FileName::shown(path));
        QString shown = file.fileName();
        if (named.value(shown) > 1)
            shown += QStringLiteral(" (%1)").arg(QDir::toNativeSeparators(file.absolutePath()));
        QAction *item = m_recentMenu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(u'&', QStringLiteral("&&"))));
        item->setToolTip(FileName::shown(path));
        item->setStatusTip(FileName::shown(path));
        connect(item, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    m_recentMenu.setToolTipsVisible(true);
    m_recentMenu.setEnabled(!recent.isEmpty());
}

void WindowState::openRecent(const QString &path)
{
    // A folder or a pipe there now is said to be one, not missing.
    const Status regular = RegularFile::check(path);
    if (!regular || !RegularFile::exists(path)) {
        m_view.removeRecentFile(path);
        keepRecentFiles();
        fillRecentMenu();
        m_prompts.showError(regular ? Texts::recentFileMissing(path) : Texts::recentFileUnusable(regular.error()));
        return;
    }
    m_open(path);
}

bool WindowState::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!droppedFiles(drag->mimeData(), true).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            if (const QStringList paths = droppedFiles(drop->mimeData()); !paths.isEmpty()) {
                drop->acceptProposedAction();
                // Opened once the drop is over, not inside it: opening may ask.
                QMetaObject::invokeMethod(
                    this,
                    [this, paths] {
                        for (const QString &path : paths)
                            m_open(path);
                    },
                    Qt::QueuedConnection);
                return true;
            }
        }
    } else if (watched == m_box->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (const int dy = wheel->angleDelta().y(); dy != 0)
                dy > 0 ? zoomIn() : zoomOut();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
