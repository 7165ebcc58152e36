#include "gui/config/ConfigView.h"

#include "catalogue/CaretHint.h"
#include "catalogue/ConsoleScript.h"
#include "config/ConfigAnalysis.h"
#include "config/ConfigHints.h"
#include "config/ProblemGroups.h"
#include "console/EngineChoice.h"
#include "settings/AcceptedNames.h"
#include "editbox/EditBox.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/config/ProblemsPanel.h"
#include "gui/config/StartupOrderView.h"
#include "search/LineNumbers.h"
#include "undo/clsUndo.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace {

// How long a changed line's word waits before it is judged.
constexpr int SettleMs = 1000;

bool endsWord(QChar c)
{
    return c.isSpace() || c == u'"' || c == u';';
}

QString samePath(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

ConfigView::ConfigView(QMainWindow &window, EditBox &box, QWidget &clicks, const Catalogue &catalogue,
                       QMenu &viewMenu, QMenu &editMenu, std::function<int()> caretLine)
    : QObject(&window), m_window(window), m_box(&box), m_clicks(&clicks), m_caretLine(std::move(caretLine))
{
    clicks.installEventFilter(this);
    m_watcher = new ConfigWatcher(catalogue, [this] { return m_box->textSnapshot(); }, this);
    connect(m_watcher, &ConfigWatcher::analysed, this, &ConfigView::analysed);
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleMs);
    connect(m_settle, &QTimer::timeout, this, &ConfigView::show);

    m_panel = new ProblemsPanel(&window);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_panel);
    m_panel->hide();
    connect(m_panel, &ProblemsPanel::problemChosen, this, &ConfigView::goTo);
    connect(m_panel, &ProblemsPanel::nameAccepted, this, [this](const QString &name) { acceptName(name, true); });
    connect(m_panel, &ProblemsPanel::nameRemoved, this, [this](const QString &name) { acceptName(name, false); });
    connect(m_panel, &ProblemsPanel::moveToUserconfig, this, &ConfigView::moveToUserconfig);
    // The window's controls take no room of their own from the layout, so
    // the panel would take it all: it opens at a third of the window.
    connect(m_panel, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && !m_panel->isFloating())
            m_window.resizeDocks({m_panel}, {m_window.height() / 3}, Qt::Vertical);
    });
    m_order = new StartupOrderView(&window);
    connect(m_order, &StartupOrderView::fileChosen, this, &ConfigView::openElsewhere);
    connect(m_order, &StartupOrderView::engineChosen, this, [this](const QString &id) {
        const std::optional<GameFolder> &folder = m_watcher->folder();
        if (!folder || m_ini.isEmpty())
            return;
        if (const Status saved = EngineChoice::save(m_ini, folder->folder(), id); !saved)
            QMessageBox::warning(m_order, m_order->windowTitle(), saved.error());
        m_watcher->engineChanged();
    });

    viewMenu.addSeparator();
    mnuProblems = m_panel->toggleViewAction();
    mnuProblems->setText(tr("&Problems"));
    mnuProblems->setObjectName(QStringLiteral("mnuProblems"));
    viewMenu.addAction(mnuProblems);
    mnuStartupOrder = viewMenu.addAction(tr("Start-up &Order..."));
    mnuStartupOrder->setObjectName(QStringLiteral("mnuStartupOrder"));
    connect(mnuStartupOrder, &QAction::triggered, this, [this] {
        m_order->setModel(m_watcher->model());
        m_order->show();
        m_order->raise();
    });
    editMenu.addSeparator();
    mnuDefinition = editMenu.addAction(tr("Go to &Definition"));
    mnuDefinition->setObjectName(QStringLiteral("mnuDefinition"));
    mnuDefinition->setShortcut(Qt::Key_F12);
    connect(mnuDefinition, &QAction::triggered, this, &ConfigView::goToDefinition);
}

ConfigView::~ConfigView() = default;

void ConfigView::setSettingsFile(const QString &iniPath)
{
    m_ini = iniPath;
    m_watcher->setEngineOf([iniPath](const QString &folder) { return EngineChoice::load(iniPath, folder); });
    m_watcher->engineChanged();
}

void ConfigView::setBox(EditBox &box, QWidget &clicks, const QString &path)
{
    if (&box != m_box)
        m_watcher->flushText();
    m_clicks->removeEventFilter(this);
    m_box = &box;
    m_clicks = &clicks;
    clicks.installEventFilter(this);
    // Its text goes to the analysis with its name; nothing is being typed in it yet.
    documentNamed(path);
}

// Ctrl+click goes to the definition once the click has put the caret there.
bool ConfigView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::ControlModifier)
            QTimer::singleShot(0, this, &ConfigView::goToDefinition);
    }
    return QObject::eventFilter(watched, event);
}

void ConfigView::documentNamed(const QString &path)
{
    m_editedLine = -1;
    m_watcher->documentNamed(samePath(path));
    loadAcceptedNames();
}

void ConfigView::textChanged()
{
    m_editedLine = m_caretLine();
    m_edited.start();
    m_settle->start();
    m_watcher->textChanged();
}

void ConfigView::setDataFolder(const QString &folder)
{
    m_dataFolder = folder;
    loadAcceptedNames();
}

void ConfigView::loadAcceptedNames()
{
    const QStringList names = m_dataFolder.isEmpty() || !m_watcher->folder()
                                  ? QStringList()
                                  : AcceptedNames::load(m_dataFolder, m_watcher->folder()->folder());
    if (names == m_accepted)
        return;
    m_accepted = names;
    m_watcher->setAcceptedNames(names);
}

void ConfigView::acceptName(const QString &name, bool fine)
{
    if (m_dataFolder.isEmpty() || !m_watcher->folder())
        return;
    const QString folder = m_watcher->folder()->folder();
    const Status saved = fine ? AcceptedNames::add(m_dataFolder, folder, name)
                              : AcceptedNames::remove(m_dataFolder, folder, name);
    if (!saved) {
        QMessageBox::warning(&m_window, QCoreApplication::applicationName(), saved.error());
        return;
    }
    loadAcceptedNames();
}

void ConfigView::refresh()
{
    // Read again here too: an unchanged analysis tells nothing.
    loadAcceptedNames();
    m_watcher->refresh();
}

void ConfigView::catalogueChanged()
{
    m_watcher->catalogueChanged();
}

const WiderHints *ConfigView::hintsAtCaret()
{
    // The caret moved off what was held back: it is judged now.
    if (m_hiding && (m_caretLine() != m_editedLine || !m_settle->isActive()))
        show();
    else if (m_hiding)
        QTimer::singleShot(0, this, &ConfigView::show);
    const std::shared_ptr<const ConfigModel> model = m_watcher->model();
    if (!model) {
        m_hints.reset();
        return nullptr;
    }
    m_hints = std::make_unique<ConfigHints>(model, m_watcher->documentPath(), m_caretLine());
    return m_hints.get();
}

QString ConfigView::notice() const
{
    return m_watcher->folder() ? configCfgNotice(*m_watcher->folder(), m_watcher->documentPath()) : QString();
}

bool ConfigView::hidden(const ConfigProblem &p, int caretLine, int caretColumn, bool settling) const
{
    if (p.line != caretLine || samePath(p.path) != m_watcher->documentPath())
        return false;
    if (p.rule == ProblemRule::OpenQuote)
        return caretColumn > p.column;
    return settling && caretColumn >= p.column && caretColumn <= p.column + qMax(1, p.length);
}

void ConfigView::show()
{
    std::shared_ptr<const ConfigModel> model = m_watcher->model();
    m_hiding = false;
    if (model && !m_watcher->documentPath().isEmpty()) {
        const int line = m_caretLine();
        const int column = int(m_box->lineBeforeCaret(CaretLineLimit).size());
        const bool settling = line == m_editedLine && m_edited.isValid() && m_edited.elapsed() < SettleMs;
        // Copied only when something is held back: a large folder has hundreds of thousands.
        m_hiding = std::any_of(model->problems.cbegin(), model->problems.cend(),
                               [&](const ConfigProblem &p) { return hidden(p, line, column, settling); });
        if (m_hiding) {
            auto filtered = std::make_shared<ConfigModel>(*model);
            filtered->problems.removeIf([&](const ConfigProblem &p) { return hidden(p, line, column, settling); });
            model = std::move(filtered);
        }
    }
    const bool same = m_shown == model || (m_shown && model && m_shown->problems == model->problems && m_shown->files == model->files);
    m_shown = model;
    if (!same || !m_count)
        showProblems();
}

void ConfigView::analysed()
{
    loadAcceptedNames();
    m_shown.reset();
    show();
}

void ConfigView::showProblems()
{
    const std::shared_ptr<const ConfigModel> model = m_shown;
    emit shown();
    const QString text = notice();
    m_panel->setModel(model, text, m_accepted);
    if (m_order->isVisible())
        m_order->setModel(model);
    // The status area appears with the first game folder; a file standing alone keeps the window as it was.
    if (!model && !m_count)
        return;
    if (!m_count) {
        m_notice = new QLabel(&m_window);
        m_notice->setAccessibleName(tr("Notice about the open file"));
        m_notice->setTextFormat(Qt::RichText);
        // What is left of the bar, never more: the tooltip holds the whole notice.
        m_notice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_notice->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(m_notice, &QLabel::linkActivated, this, &ConfigView::writtenConfigWanted);
        m_count = new QLabel(&m_window);
        m_count->setAccessibleName(tr("Problems in the configuration"));
        m_window.statusBar()->addWidget(m_notice, 1);
        m_window.statusBar()->addPermanentWidget(m_count);
    }
    m_count->setText(!model ? QString() : countProblems(model->problems).text());
    m_notice->setText(text.isEmpty() ? QString()
                                     : tr("The game rewrites config.cfg when it quits. "
                                          "<a href=\"written\">See what it will write</a>"));
    m_notice->setToolTip(text);
}

void ConfigView::goTo(const QString &path, int line)
{
    if (m_beforeJump)
        m_beforeJump();
    if (samePath(path) != m_watcher->documentPath()) {
        openElsewhere(path);
        // Opened in a tab, it is the watched document now.
        if (!m_open || samePath(path) != m_watcher->documentPath())
            return;
    }
    m_box->setSelStart(LineNumbers::startOf(m_box->Text(), line + 1));
    m_box->SetFocus();
}

// Another file opens in a tab of the window where it has a way to, else in
// a window of its own; the open document and its unsaved changes stay as they are.
void ConfigView::openElsewhere(const QString &path)
{
    if (path.isEmpty() || samePath(path) == m_watcher->documentPath())
        return;
    if (m_beforeJump)
        m_beforeJump();
    if (m_open) {
        m_open(path);
        return;
    }
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {path}))
        QMessageBox::warning(&m_window, QCoreApplication::applicationName(),
                             tr("%1 could not be opened in a new window.").arg(QDir::toNativeSeparators(path)));
}

void ConfigView::moveToUserconfig(const QString &path, int line)
{
    if (!m_edit || !m_watcher->folder())
        return;
    const QString target = QDir(m_watcher->folder()->folder()).filePath(QStringLiteral("userconfig.cfg"));
    const QString found = m_watcher->folder()->find(QStringLiteral("userconfig.cfg"));
    const QString userconfig = samePath(found.isEmpty() ? target : found);
    if (samePath(path) == userconfig)
        return;
    // The line leaves its file as one undo step there.
    clsUndo *from = m_edit(path);
    if (!from || !from->RichBox() || m_watcher->documentPath() != samePath(path))
        return;
    EditBox &box = *from->RichBox();
    const QString text = box.Text();
    const int start = LineNumbers::startOf(text, line + 1);
    int end = LineNumbers::startOf(text, line + 2);
    if (end <= start)
        end = int(text.size());
    QString moved = text.mid(start, end - start);
    while (moved.endsWith(u'\n') || moved.endsWith(u'\r'))
        moved.chop(1);
    box.setSelStart(start);
    box.setSelLength(end - start);
    from->InsertText(QString(), true);
    // A userconfig.cfg the folder lacks is made, empty, for the line to go to.
    if (found.isEmpty()) {
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly)) {
            QMessageBox::warning(&m_window, QCoreApplication::applicationName(),
                                 tr("%1 could not be made: %2").arg(QDir::toNativeSeparators(target), file.errorString()));
            return;
        }
    }
    // It ends userconfig.cfg, which runs last, as one undo step there.
    clsUndo *to = m_edit(userconfig);
    if (!to || !to->RichBox() || m_watcher->documentPath() != userconfig)
        return;
    EditBox &last = *to->RichBox();
    const QString there = last.Text();
    last.setSelStart(int(there.size()));
    last.setSelLength(0);
    const bool newLine = there.isEmpty() || there.endsWith(u'\n');
    to->InsertText((newLine ? QString() : QStringLiteral("\r\n")) + moved + QStringLiteral("\r\n"), true);
}

void ConfigView::say(const QString &message)
{
    if (m_count)
        m_window.statusBar()->showMessage(message, 5000);
}

void ConfigView::goToDefinition()
{
    const std::shared_ptr<const ConfigModel> model = m_watcher->model();
    if (!model || !m_watcher->folder())
        return;
    // The word around the caret, on its line.
    const QString before = m_box->lineBeforeCaret(CaretLineLimit);
    qsizetype start = before.size();
    while (start > 0 && !endsWord(before[start - 1]))
        --start;
    QString word = before.mid(start);
    // The rest of the word after the caret; one keypress may read the whole text.
    const QString text = m_box->Text();
    for (qsizetype at = m_box->SelStart(); at < text.size() && word.size() < 256 && !endsWord(text[at]); ++at)
        word += text[at];
    if (word.isEmpty())
        return;
    const QList<QStringView> commands = ConsoleScript::commands(QStringView(before).left(start));
    const QStringList statement = commands.isEmpty() ? QStringList() : ConsoleScript::words(commands.back());
    if (statement.size() == 1 && statement.front().compare(QLatin1String("exec"), Qt::CaseInsensitive) == 0) {
        const QString path = m_watcher->folder()->find(word);
        if (path.isEmpty())
            say(tr("exec %1: no such file in the game folder.").arg(word));
        else
            openElsewhere(path);
        return;
    }
    if (const std::optional<AliasSite> site = model->alias(word)) {
        goTo(site->path, site->line);
        return;
    }
    say(tr("No file of the configuration defines an alias %1.").arg(word));
}
