#include "gui/window/frmTessary.h"

#include "settings/Settings.h"
#include "settings/mdlVars.h"
#include "mods/PendingAdds.h"
#include "mods/Restore.h"
#include "mods/DataImport.h"
#include "catalogue/Catalogue.h"
#include "documents/DocumentCommands.h"
#include "catalogue/HintRule.h"
#include "catalogue/QuickSearch.h"
#include "gui/config/ConfigView.h"
#include "gui/config/ConfigWatcher.h"
#include "completion/FileFacts.h"
#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"
#include "gui/editbox/CompletionPopup.h"
#include "gui/config/KeyBindings.h"
#include "gui/window/MainDialogs.h"
#include "gui/window/MainMenus.h"
#include "gui/window/QtPrompts.h"
#include "gui/window/SearchCommands.h"
#include "gui/window/WindowState.h"
#include "catalogue/CaretHint.h"
#include "catalogue/QuickSearchNames.h"
#include "documents/RecoverySchedule.h"
#include "documents/RecoveryStore.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/editbox/SyntaxColours.h"
#include "documents/TabLabels.h"
#include "documents/Texts.h"
#include "gui/window/DocumentTab.h"
#include "gui/window/DocumentTabBar.h"
#include "settings/FileName.h"
#include "settings/RegularFile.h"
#include "gui/window/ToolPicture.h"
#include "gui/window/ToolPictures.h"
#include "editbox/VirtualKey.h"
#include "undo/clsUndo.h"

#include <QCloseEvent>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

#include <utility>

namespace {

// The client area at start, in pixels.
constexpr int ClientWidth = 407;
constexpr int ClientHeight = 272;
constexpr int HintTop = 33;
constexpr int HintHeight = 16;
// Right-edge distances kept by the Quick Search label and box.
constexpr int SearchLabelFromRight = 242;
constexpr int SearchBoxFromRight = 171;
// The recovery copy follows the last change after this pause in typing,
// and the first change not yet kept after at most the bound.
constexpr int RecoveryPauseMs = 3000;
constexpr int RecoveryBoundMs = 10000;
// The hint line is one line of a few hundred pixels: a longer caption (the
// word of a document without spaces) is cut so it is not laid out whole.
constexpr int HintShownChars = 2000;

// The installed program's icon, in the sizes window frames and task bars ask for.
QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 128})
        icon.addFile(QStringLiteral(":/icons/tessary-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

frmTessary::frmTessary(mdlVars &vars, const QString &programFolder, Prompts *prompts, QWidget *parent)
    : frmTessary(vars, programFolder, programFolder, prompts, parent)
{
}

frmTessary::frmTessary(mdlVars &vars, const QString &programFolder, const QString &dataFolder, Prompts *prompts,
                       QWidget *parent)
    : QMainWindow(parent),
      m_vars(vars),
      m_programFolder(programFolder),
      m_dataFolder(dataFolder),
      m_ownPrompts(prompts ? nullptr : std::make_unique<QtPrompts>(this)),
      m_prompts(prompts ? *prompts : *m_ownPrompts)
{
    setObjectName(QStringLiteral("frmTessary"));
    setWindowTitle(Texts::windowTitle(QString()));
    setWindowIcon(programIcon());
    // The tool pictures explain themselves also while another window is active.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // data.dat that could not be read at start is never replaced.
    m_dialogs = std::make_unique<MainDialogs>(
        *this, m_vars, m_prompts, m_dataFolder,
        MainDialogs::Settings{[this](StoreLock::Waiter *waiter) {
                                  return m_settingsUsable && RefreshSettings(m_vars, m_dataFolder, waiter).ok();
                              },
                              [this](StoreLock::Waiter *waiter) {
                                  return m_settingsUsable
                                             ? SaveSettings(m_vars, m_dataFolder, waiter)
                                             : Status::failure(QStringLiteral("data.dat could not be read at start."));
                              },
                              [this](const QString &path, const QString &message) {
                                  for (const auto &tab : m_tabs)
                                      tab->commands->reloadReplaced(path, message);
                              }});
    createControls();
    createMenus();
    m_config = new ConfigView(*this, *txtMain, *txtMain->viewport(), m_vars.catalogue, *m_menus->mnuView,
                              *m_menus->mnuEdit, [this] { return txtMain->caretLineColumn().y() - 1; });
    m_config->setDataFolder(m_dataFolder);
    // Each analysis marks its problems in the text and makes other files' aliases known.
    connect(m_config, &ConfigView::shown, this, [this] {
        m_colours->setConfiguration(m_config->shownModel(), m_config->watcher().documentPath());
    });
    // Another file of the configuration (Go to Definition, the panels) opens in a tab.
    m_config->setOpener([this](const QString &path) { openFile(path); });
    m_config->setEditor([this](const QString &path) { return openFile(path), objUndo; });
    m_windowState = new WindowState(*this, *txtMain, *m_menus->mnuRecent, m_prompts,
                                    [this](const QString &path) { openFile(path); });
    m_windowState->addViewItems(*m_menus->mnuView);
    m_keyBindings = new KeyBindings(*this, *m_config, m_vars.catalogue, *m_menus->mnuView);
    m_completion = new CompletionPopup(*txtMain, this);
    connect(m_windowState->addCompletionItem(*m_menus->mnuView), &QAction::toggled, m_completion,
            &CompletionPopup::setEnabled);
    m_completion->setEnabled(m_windowState->completion());
    m_recoveryClock.start();
    // Coming back to the program with one of its dialogs in front activates no main window.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            QTimer::singleShot(0, this, [this] { checkDisk(); });
    });
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

frmTessary::~frmTessary()
{
    // Their event filters would otherwise see the edit box half destroyed.
    for (const auto &tab : m_tabs)
        delete tab->colours;
    delete m_windowState;
    delete m_completion;
}

void frmTessary::setDataFolder(const QString &folder)
{
    m_recovery = std::make_unique<RecoveryStore>(folder);
    if (const Status opened = m_recovery->open(); !opened) {
        m_recovery.reset();
        m_recoveryWarned = true;
        m_prompts.showError(Texts::recoveryNotKept(opened.error()));
    }
    for (const auto &tab : m_tabs)
        tab->commands->setRecoveryStore(m_recovery.get(), tab->commands->document().recoverySlot);
}

void frmTessary::keepRecoveryCopy(DocumentTab &tab)
{
    tab.recoverySchedule->kept();
    if (!m_recovery)
        return;
    if (const Status failed = m_recovery->takeError(); !failed && !m_recoveryWarned) {
        m_recoveryWarned = true;
        m_prompts.showError(Texts::recoveryNotKept(failed.error()));
    }
    tab.commands->keepRecoveryCopy();
}

DocumentTab &frmTessary::addTab()
{
    return insertTab(makeTab());
}

std::unique_ptr<DocumentTab> frmTessary::makeTab()
{
    auto owned = std::make_unique<DocumentTab>();
    DocumentTab &tab = *owned;
    tab.box = new RichTextBox(m_clipboard, m_client);
    tab.box->setObjectName(QStringLiteral("txtMain"));
    if (txtMain) {
        tab.box->setFont(txtMain->font());
        tab.box->setGeometry(txtMain->geometry());
    } else {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9.75);
        font.setWeight(QFont::Normal);
        tab.box->setFont(font);
    }
    tab.box->setAccessibleName(tr("Document"));
    tab.box->setLineNumbersShown(!m_windowState || m_windowState->lineNumbers());
    tab.box->hide();
    tab.colours = new SyntaxColours(*tab.box, m_vars.catalogue, this);
    tab.commands = std::make_unique<DocumentCommands>(*tab.box, m_prompts);
    tab.commands->setRecoveryStore(m_recovery.get(), m_nextRecoverySlot++);
    if (m_documents)
        tab.commands->setLastChosen(m_documents->lastChosen());
    tab.undo = std::make_unique<clsUndo>();
    tab.undo->setWindowHooks({[this](bool suspend) { setUpdatesEnabled(!suspend); },
                              [](bool busy) {
                                  if (busy)
                                      QApplication::setOverrideCursor(Qt::WaitCursor);
                                  else
                                      QApplication::restoreOverrideCursor();
                              },
                              [&tab](const QString &text) { return tab.commands->pasteAccepted(text); }});
    tab.undo->setRichBox(tab.box);
    tab.undo->Reset();
    // The history of a replaced text would write into the new one.
    tab.commands->setDocumentReplacedHandler([&tab] {
        tab.undo->Reset();
        // The same file opened again is coloured again.
        tab.colours->recolourAll();
    });
    connect(tab.undo.get(), &clsUndo::StateChanged, this, [this, &tab] {
        if (&tab == m_tab)
            setWindowModified(tab.box->isModified());
        if (tab.markShown != tab.commands->unsaved())
            updateTabLabels();
    });
    // Two tabs never hold one file: a later save in either would overwrite
    // the other. Unsaved changes in the tab Save As replaces are asked about.
    tab.commands->setSaveAsCheck([this, &tab](const QString &path) {
        const DocumentTab *other = tabOf(path);
        return !other || other == &tab || !other->commands->unsaved()
               || m_prompts.askYesNo(Texts::replaceOpenFile(path));
    });
    // The tab now holds the file: another tab that held it goes, and
    // colours, recent files and title follow the name.
    tab.commands->setSavedAsHandler([this, &tab] {
        closeOthersOf(tab);
        if (&tab == m_tab)
            documentNamed(tab.commands->fileName());
        else
            updateTabLabels();
    });
    tab.box->setChangeHandler([this, &tab] { tabChanged(tab); });
    // The hint follows the caret as well as the text.
    connect(tab.box, &RichTextBox::caretMoved, this, [this, &tab] {
        if (&tab != m_tab)
            return;
        UpdateHint();
        showCaretPlace();
    });
    tab.box->setMouseUpHandler([this](int button, int shift, int x, int y) { txtMain_MouseUp(button, shift, x, y); });
    tab.recoveryTimer = new QTimer(this);
    tab.recoveryTimer->setSingleShot(true);
    connect(tab.recoveryTimer, &QTimer::timeout, this, [this, &tab] { keepRecoveryCopy(tab); });
    tab.recoverySchedule = std::make_unique<RecoverySchedule>(RecoveryPauseMs, RecoveryBoundMs);
    return owned;
}

DocumentTab &frmTessary::insertTab(std::unique_ptr<DocumentTab> owned)
{
    DocumentTab &tab = *owned;
    m_tabs.push_back(std::move(owned));
    QStringList paths;
    for (const auto &each : m_tabs)
        paths << each->commands->fileName();
    // Given its label at once: each new label lays the whole bar out again.
    tab.markShown = tab.commands->unsaved();
    {
        const QSignalBlocker quiet(m_tabBar);
        m_tabBar->addTab(tabLabels(paths).constLast() + (tab.markShown ? QStringLiteral("*") : QString()));
        m_tabBar->setTabToolTip(m_tabBar->count() - 1, FileName::shownPath(paths.constLast()));
    }
    updateTabLabels();
    return tab;
}

void frmTessary::discardTab(std::unique_ptr<DocumentTab> tab)
{
    tab->box->setChangeHandler({});
    tab->box->disconnect(this);
    tab->box->hide();
    // Its colours go first, while the box is whole; the key or click that
    // closed the tab may still be on its way through the box.
    delete tab->colours;
    tab->box->deleteLater();
    delete tab->recoveryTimer;
}

void frmTessary::makeCurrent(DocumentTab &tab, bool justRead)
{
    DocumentTab *const previous = std::exchange(m_tab, &tab);
    txtMain = tab.box;
    objUndo = tab.undo.get();
    m_documents = tab.commands.get();
    m_colours = tab.colours;
    if (previous && previous != &tab) {
        tab.box->setGeometry(previous->box->geometry());
        previous->box->hide();
    }
    {
        const QSignalBlocker quiet(m_tabBar);
        const int index = indexOf(&tab);
        m_tabBar->setCurrentIndex(index);
        m_tabBar->placeCloseButton();
    }
    if (m_windowState)
        m_windowState->setBox(*tab.box);
    if (m_completion) {
        m_completion->setBox(*tab.box);
        m_completion->setUndo(objUndo);
    }
    if (m_search)
        m_search->setBox(*tab.box, *objUndo);
    if (m_config)
        m_config->setBox(*tab.box, *tab.box->viewport(), tab.commands->fileName());
    layoutTabs();
    tab.box->show();
    if (cboSearch)
        QWidget::setTabOrder(txtMain, cboSearch);
    updateTitle();
    UpdateHint();
    showCaretPlace();
    if (previous && previous != &tab) {
        txtMain->setFocus();
        // A change on disk while another tab was in front is told now; a
        // file read this moment has had no time to change.
        if (!justRead)
            QTimer::singleShot(0, this, [this] { checkDisk(); });
    }
}

int frmTessary::indexOf(const DocumentTab *tab) const
{
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs[i].get() == tab)
            return int(i);
    }
    return -1;
}

int frmTessary::currentTab() const
{
    return indexOf(m_tab);
}

void frmTessary::setCurrentTab(int index)
{
    if (index >= 0 && index < tabCount())
        makeCurrent(*m_tabs[size_t(index)]);
}

RichTextBox &frmTessary::editBox(int tab)
{
    return *m_tabs.at(size_t(tab))->box;
}

clsUndo &frmTessary::undoEngine(int tab)
{
    return *m_tabs.at(size_t(tab))->undo;
}

QString frmTessary::tabFile(int tab) const
{
    return m_tabs.at(size_t(tab))->commands->fileName();
}

QString frmTessary::tabLabel(int tab) const
{
    return m_tabBar->tabText(tab);
}

void frmTessary::nextTab(int step)
{
    if (tabCount() > 1)
        setCurrentTab((currentTab() + step + tabCount()) % tabCount());
}

DocumentTab *frmTessary::tabOf(const QString &path) const
{
    const QString identity = fileIdentity(path);
    if (identity.isEmpty())
        return nullptr;
    for (const auto &tab : m_tabs) {
        if (tab->fileIdentity() == identity)
            return tab.get();
    }
    return nullptr;
}

bool frmTessary::closeTab(int index)
{
    if (index < 0 || index >= tabCount())
        return false;
    DocumentTab &tab = *m_tabs[size_t(index)];
    if (tab.commands->unsaved()) {
        makeCurrent(tab);
        if (!tab.commands->maybeSave())
            return false;
    }
    tab.commands->forgetRecoveryCopy();
    // The window keeps a tab: the last one closed leaves a blank Untitled one.
    if (tabCount() == 1) {
        makeCurrent(addTab());
        colourAs(QString());
    }
    removeTab(indexOf(&tab));
    return true;
}

void frmTessary::removeTab(int index)
{
    std::unique_ptr<DocumentTab> tab = std::move(m_tabs[size_t(index)]);
    m_tabs.erase(m_tabs.begin() + index);
    {
        const QSignalBlocker quiet(m_tabBar);
        m_tabBar->removeTab(index);
    }
    if (m_tab == tab.get()) {
        m_tab = nullptr;
        makeCurrent(*m_tabs[size_t(qMin(index, tabCount() - 1))]);
    }
    discardTab(std::move(tab));
    updateTabLabels();
    layoutTabs();
}

void frmTessary::layoutTabs()
{
    if (!m_tabBar || !txtMain)
        return;
    const bool shown = m_tabs.size() > 1;
    m_tabBar->setVisible(shown);
    int top = m_editTop;
    if (shown) {
        m_tabBar->setGeometry(0, m_editTop, m_client->width(), m_tabBar->sizeHint().height());
        top += m_tabBar->height();
    }
    txtMain->setGeometry(0, top, m_client->width(), qMax(0, m_client->height() - top));
}

void frmTessary::updateTabLabels()
{
    QStringList paths;
    for (const auto &tab : m_tabs)
        paths << tab->commands->fileName();
    const QStringList labels = tabLabels(paths);
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        DocumentTab &tab = *m_tabs[i];
        tab.markShown = tab.commands->unsaved();
        // Each new text lays the whole bar out again.
        const QString label = labels[qsizetype(i)] + (tab.markShown ? QStringLiteral("*") : QString());
        if (m_tabBar->tabText(int(i)) != label) {
            m_tabBar->setTabText(int(i), label);
            m_tabBar->setTabToolTip(int(i), FileName::shownPath(paths[qsizetype(i)]));
        }
    }
}

// A file deleted on disk leaves its tab modified.
void frmTessary::checkDisk()
{
    m_documents->checkDisk();
    updateTabLabels();
}

void frmTessary::tabChanged(DocumentTab &tab)
{
    tab.recoveryTimer->start(tab.recoverySchedule->changed(m_recoveryClock.elapsed()));
    if (tab.markShown != tab.commands->unsaved())
        updateTabLabels();
    if (&tab == m_tab)
        txtMain_Change();
}

// The hint line is a standing tooltip: pale yellow in a light theme, the
// theme's own tooltip colours in a dark one.
void frmTessary::followTooltipColours()
{
    const QPalette theme = QApplication::palette(lblHint);
    QPalette hintColours = lblHint->palette();
    hintColours.setColor(QPalette::Window, theme.color(QPalette::ToolTipBase));
    hintColours.setColor(QPalette::WindowText, theme.color(QPalette::ToolTipText));
    lblHint->setPalette(hintColours);
}

bool frmTessary::event(QEvent *event)
{
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) && lblHint)
        followTooltipColours();
    // Asked once the activation is over: the question itself moves the focus.
    if (event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, [this] {
            checkDisk();
            m_config->refresh();
        });
    return QMainWindow::event(event);
}

void frmTessary::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);
    // The controls' own font where the window names none; small enough for
    // "Quick Search:" and the hint line to fit their boxes.
    QFont formFont(QStringLiteral("Arial"));
    formFont.setPointSizeF(8.25);
    m_client->setFont(formFont);

    picSave = addPicture(ToolPictures::diskette(), Texts::SaveTip, tr("Save"), "picSave", QRect(3, 3, 26, 25));
    Picture1 = addPicture(ToolPictures::openingFolder(), Texts::OpenTip, tr("Open"), "Picture1", QRect(31, 3, 26, 25));
    picUndo = addPicture(ToolPictures::undoArrow(), Texts::UndoTip, tr("Undo"), "picUndo", QRect(76, 3, 26, 25));
    picRedo = addPicture(ToolPictures::redoArrow(), Texts::RedoTip, tr("Redo"), "picRedo", QRect(104, 3, 26, 25));

    lblSearch = new QLabel(QString::fromLatin1(Texts::SearchLabel), m_client);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    lblSearch->setGeometry(169, 8, 73, 17);

    cboSearch = new QComboBox(m_client);
    cboSearch->setObjectName(QStringLiteral("cboSearch"));
    cboSearch->setEditable(true);
    cboSearch->setInsertPolicy(QComboBox::NoInsert);
    // The box's own completer would search for a completed name at once;
    // completion from the catalogue is put on its text field (Form_Load).
    cboSearch->setCompleter(nullptr);
    // The box picks a typed name of its list when its text field loses the
    // focus: Enter's search would run a second time.
    disconnect(cboSearch->lineEdit(), &QLineEdit::editingFinished, cboSearch, nullptr);
    cboSearch->addItems(QuickSearchNames());
    cboSearch->setCurrentIndex(-1);
    cboSearch->setEditText(QString());
    cboSearch->setToolTip(QString::fromLatin1(Texts::SearchTip));
    cboSearch->setAccessibleName(tr("Quick Search"));
    cboSearch->setGeometry(240, 5, 153, cboSearch->sizeHint().height());
    lblSearch->setBuddy(cboSearch);

    lblHint = new QLabel(m_client);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblHint->setLineWidth(1);
    // Words from the document must never be read as markup.
    lblHint->setTextFormat(Qt::PlainText);
    // A word reaching back over line breaks shows its first line.
    lblHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblHint->setAutoFillBackground(true);
    followTooltipColours();
    lblHint->setAccessibleDescription(tr("Explains the command being typed"));
    // Tall enough for the font's descenders at any scale: "cl_dlmax" keeps its underscore.
    const int hintHeight = qMax(HintHeight, lblHint->fontMetrics().height() + 2 * lblHint->frameWidth());
    lblHint->setGeometry(0, HintTop, 404, hintHeight);
    const int editTop = HintTop + hintHeight - 1;
    m_editTop = editTop;

    // Hidden while one document is open: the window then looks as it always did.
    m_tabBar = new DocumentTabBar(m_client);
    m_tabBar->setObjectName(QStringLiteral("tabBar"));
    m_tabBar->setAccessibleName(tr("Open documents"));
    m_tabBar->setDocumentMode(true);
    m_tabBar->setExpanding(false);
    // Labels are file names: tabs that do not fit scroll rather than each
    // label being measured for shortening at every layout and paint.
    m_tabBar->setElideMode(Qt::ElideNone);
    m_tabBar->setUsesScrollButtons(true);
    m_tabBar->setFocusPolicy(Qt::NoFocus);
    m_tabBar->hide();
    connect(m_tabBar, &QTabBar::currentChanged, this, &frmTessary::setCurrentTab);
    // The middle button closes the tab under it.
    m_tabBar->installEventFilter(this);
    connect(&m_tabBar->closeButton(), &QAbstractButton::clicked, this, [this] { closeTab(currentTab()); });
    DocumentTab &first = addTab();
    first.box->setGeometry(0, editTop, ClientWidth, ClientHeight - editTop);
    makeCurrent(first);

    // The caret's line and column, below the box.
    lblCaret = new QLabel(this);
    lblCaret->setObjectName(QStringLiteral("lblCaret"));
    statusBar()->addPermanentWidget(lblCaret);
    statusBar()->setSizeGripEnabled(true);
    showCaretPlace();

    QWidget::setTabOrder(txtMain, cboSearch);
    QWidget::setTabOrder(cboSearch, picSave);
    QWidget::setTabOrder(picSave, Picture1);
    QWidget::setTabOrder(Picture1, picRedo);
    QWidget::setTabOrder(picRedo, picUndo);
    txtMain->setFocus();

    connect(picSave, &ToolPicture::clicked, this, &frmTessary::picSave_Click);
    connect(Picture1, &ToolPicture::clicked, this, &frmTessary::Picture1_Click);
    connect(picUndo, &ToolPicture::clicked, this, &frmTessary::picUndo_Click);
    connect(picRedo, &ToolPicture::clicked, this, &frmTessary::picRedo_Click);
    connect(cboSearch, &QComboBox::activated, this, &frmTessary::cboSearch_Click);
    // Whichever of the two gets the key first.
    cboSearch->installEventFilter(this);
    cboSearch->lineEdit()->installEventFilter(this);
}

ToolPicture *frmTessary::addPicture(const QPixmap &picture, const char *toolTip, const QString &accessibleName,
                                    const char *name, const QRect &geometry)
{
    auto *tool = new ToolPicture(picture, QString::fromLatin1(toolTip), accessibleName, m_client);
    tool->setObjectName(QString::fromLatin1(name));
    tool->setGeometry(geometry);
    return tool;
}

void frmTessary::createMenus()
{
    m_menus = std::make_unique<MainMenus>(menuBar(), *this);
}

void frmTessary::Form_Load(const QString &commandLineArgument)
{
    offerImport();
    if (const Status loaded = LoadSettings(m_vars, m_dataFolder); !loaded) {
        // Writing the lists back would replace what could not be read.
        m_settingsUsable = false;
        warnSettingsUnsaved(loaded.error());
    } else if (const Status writable = CheckSettingsWritable(m_dataFolder); !writable) {
        warnSettingsUnsaved(writable.error());
    }
    // What an earlier run left midway: a restore, or adds it never saved.
    if (m_settingsUsable) {
        if (const Status s = Restore::RecoverInterrupted(m_dataFolder, m_vars); !s)
            m_prompts.showError(s.error());
        if (const Status s = PendingAdds::recoverAbandoned(m_dataFolder, m_vars); !s)
            m_prompts.showError(s.error());
    }
    if (const Status read = LoadCatalogue(m_vars.catalogue, m_programFolder); !read)
        m_prompts.showError(read.error());
    auto *names = new QCompleter(CompletionNames(m_vars.catalogue), cboSearch);
    names->setCaseSensitivity(Qt::CaseInsensitive);
    cboSearch->lineEdit()->setCompleter(names);
    m_search = new SearchCommands(this, *txtMain, *objUndo, m_prompts, [this](const QString &line) { showHint(line); });
    m_windowState->restore(m_dataFolder);
    m_vars.catalogue.setFamiliesOff(m_windowState->familiesOff());
    m_completion->setUndo(objUndo);
    m_completion->setEnabled(m_windowState->completion());
    completionCatalogue();
    if (!m_windowState->recentFiles().isEmpty())
        m_documents->setLastChosen(m_windowState->recentFiles().constFirst());
    showLineNumbers(m_windowState->lineNumbers());
    if (commandLineArgument.isEmpty()) {
        reopenSession();
    } else {
        m_documents->loadCommandLine(commandLineArgument);
        if (!m_documents->fileName().isEmpty())
            documentNamed(m_documents->fileName());
    }
    // Offered once the window is up; each restored copy comes back in a tab.
    QTimer::singleShot(0, this, [this] {
        m_documents->offerRecovery([this](const RecoveryStore::Copy &copy) -> DocumentCommands & {
            // The file's own tab, unless it has changes of its own; else a blank one, else a new one.
            DocumentTab *tab = tabOf(copy.documentPath);
            if (!tab || tab->commands->unsaved())
                tab = m_tab->isBlank() ? m_tab : &addTab();
            makeCurrent(*tab);
            return *tab->commands;
        });
        // Restored copies have given their tabs paths: each is coloured as its file.
        for (const auto &tab : m_tabs) {
            if (const FileSyntax syntax = syntaxForPath(tab->commands->fileName()); tab->colours->syntax() != syntax)
                tab->colours->setSyntax(syntax);
        }
        if (!m_documents->fileName().isEmpty())
            colourAs(m_documents->fileName());
        updateTabLabels();
        updateTitle();
    });
    txtMain->setFocus();
}

// The files open at the last closing, in their order, with the same one in
// front; those that are gone are told about in one message.
void frmTessary::reopenSession()
{
    const QStringList files = m_windowState->sessionFiles();
    const QString current = files.value(m_windowState->sessionCurrent());
    QStringList missing;
    for (const QString &file : files) {
        if (!RegularFile::exists(file) || !RegularFile::check(file)) {
            missing << file;
            continue;
        }
        // Not added to the recent files: their order is the user's opening.
        if (!tabOf(file))
            openInTab(file);
    }
    if (DocumentTab *front = tabOf(current))
        makeCurrent(*front);
    if (!missing.isEmpty())
        m_prompts.inform(Texts::sessionFilesMissing(missing));
}

// Mods of a program folder the user cannot write are copied over once, if wanted.
void frmTessary::offerImport()
{
    const QStringList mods = DataImport::modsToOffer(m_programFolder, m_dataFolder);
    if (mods.isEmpty())
        return;
    if (!m_prompts.askYesNo(Texts::importOffer(m_programFolder, m_dataFolder, mods)))
        m_prompts.inform(Texts::modsLiveIn(m_dataFolder));
    else if (const Status copied = DataImport::copyInto(m_programFolder, m_dataFolder); !copied)
        m_prompts.showError(Texts::importFailed(copied.error()));
}

void frmTessary::warnSettingsUnsaved(const QString &reason)
{
    if (m_settingsWarned)
        return;
    m_settingsWarned = true;
    m_prompts.showError(Texts::settingsNotSaved(reason));
}

bool frmTessary::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == m_tabBar && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (const int at = m_tabBar->tabAt(mouse->position().toPoint()); mouse->button() == Qt::MiddleButton && at >= 0) {
            closeTab(at);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && cboSearch && (watched == cboSearch || watched == cboSearch->lineEdit())) {
        const auto *press = static_cast<QKeyEvent *>(event);
        KeyEvent key{VirtualKey::fromQtKey(press->key(), press->modifiers()),
                     VirtualKey::shiftState(press->modifiers()), press->text()};
        cboSearch_KeyDown(key);
        // Enter is handled here; the box would otherwise pick a matching item.
        if (key.KeyCode == VirtualKey::Return)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// A size that comes out negative (a minimised or tiny window) is skipped
// and the control keeps its previous one.
void frmTessary::Form_Resize()
{
    const int scaleWidth = m_client->width();
    const int scaleHeight = m_client->height();
    setUpdatesEnabled(false);
    if (m_tabBar->isVisible())
        m_tabBar->resize(scaleWidth, m_tabBar->height());
    txtMain->resize(scaleWidth, txtMain->height());
    if (const int height = scaleHeight - txtMain->y(); height >= 0)
        txtMain->resize(txtMain->width(), height);
    lblSearch->move(scaleWidth - SearchLabelFromRight, lblSearch->y());
    cboSearch->move(scaleWidth - SearchBoxFromRight, cboSearch->y());
    lblHint->resize(scaleWidth, lblHint->height());
    showHint(lblHint->text());
    setUpdatesEnabled(true);
}

void frmTessary::closeEvent(QCloseEvent *event)
{
    if (m_endingAtOnce) {
        saveWindowState();
        for (const auto &tab : m_tabs)
            tab->commands->forgetRecoveryCopy();
        event->accept();
        return;
    }
    // At the end of a session the question was asked already, or could not be.
    if (!m_sessionEnding && !maybeSaveAll()) {
        event->ignore();
        return;
    }
    if (m_settingsUsable) {
        if (const Status saved = m_dialogs->saveSettings(); !saved)
            warnSettingsUnsaved(saved.error());
    }
    saveWindowState();
    if (!m_sessionEnding) {
        for (const auto &tab : m_tabs)
            tab->commands->forgetRecoveryCopy();
    }
    event->accept();
}

bool frmTessary::maybeSaveAll()
{
    std::vector<DocumentTab *> unsaved;
    QStringList paths;
    for (const auto &tab : m_tabs)
        paths << tab->commands->fileName();
    const QStringList labels = tabLabels(paths);
    QStringList names;
    for (const auto &tab : m_tabs) {
        if (tab->commands->unsaved()) {
            unsaved.push_back(tab.get());
            names << labels[indexOf(tab.get())];
        }
    }
    if (unsaved.empty())
        return true;
    if (unsaved.size() == 1) {
        makeCurrent(*unsaved.front());
        return m_documents->maybeSave();
    }
    switch (m_prompts.askSaveAll(names)) {
    case Prompts::SaveChoice::Save:
        for (DocumentTab *tab : unsaved) {
            // Gone: an earlier tab's Save As took its file, as the user agreed.
            if (indexOf(tab) < 0)
                continue;
            makeCurrent(*tab);
            if (!m_documents->save())
                return false;
        }
        updateTabLabels();
        return true;
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

void frmTessary::endSession()
{
    for (const auto &tab : m_tabs)
        tab->commands->endSession(false);
    // The open tabs come back at the next start, as after a normal close;
    // nothing is asked now.
    saveWindowState(false);
    m_sessionEnding = true;
    // Also ends a question or dialog that is up: it answers Cancel.
    QCoreApplication::exit(0);
}

bool frmTessary::commitData(bool mayAsk)
{
    // Every copy is on disk before the question, which the session may cut short.
    for (const auto &tab : m_tabs)
        tab->commands->endSession(false);
    m_sessionEnding = !mayAsk || maybeSaveAll();
    if (m_sessionEnding)
        saveWindowState(false);
    if (mayAsk && m_sessionEnding) {
        for (const auto &tab : m_tabs)
            tab->commands->forgetRecoveryCopy();
    }
    return m_sessionEnding;
}

// A folder already told about is not told about again.
void frmTessary::saveWindowState(bool mayTell)
{
    QStringList files;
    int current = 0;
    for (const auto &tab : m_tabs) {
        if (tab->commands->fileName().isEmpty())
            continue;
        if (tab.get() == m_tab)
            current = int(files.size());
        files << tab->commands->fileName();
    }
    m_windowState->setSession(files, current);
    if (const Status saved = m_windowState->save(); !saved && mayTell && !std::exchange(m_settingsWarned, true))
        m_prompts.showError(saved.error());
}

// A new Untitled tab; a blank one in front is used as it is.
void frmTessary::mnuNew_Click()
{
    if (!m_tab->isBlank())
        makeCurrent(addTab());
    colourAs(QString());
    updateTitle();
}

void frmTessary::mnuOpen_Click()
{
    const QString path = m_prompts.chooseOpenPath(QString::fromLatin1(Texts::OpenTitle), Texts::fileDialogFilters(),
                                                  m_documents->dialogStart());
    if (!path.isEmpty())
        openFile(path);
}

void frmTessary::openFile(const QString &path)
{
    if (DocumentTab *open = tabOf(path)) {
        makeCurrent(*open);
        return;
    }
    if (openInTab(path))
        m_windowState->addRecentFile(path);
}

bool frmTessary::openInTab(const QString &path)
{
    // Loaded before its tab is shown: the label and the configuration's views
    // then follow the file at once.
    const bool replacing = m_tab->isBlank();
    std::unique_ptr<DocumentTab> made = replacing ? nullptr : makeTab();
    DocumentTab &loading = replacing ? *m_tab : *made;
    if (!loading.commands->openPath(path)) {
        if (made)
            discardTab(std::move(made));
        return false;
    }
    DocumentTab &tab = made ? insertTab(std::move(made)) : loading;
    tab.colours->setSyntax(syntaxForPath(path));
    makeCurrent(tab, true);
    updateTabLabels();
    updateTitle();
    return true;
}

void frmTessary::documentNamed(const QString &path)
{
    colourAs(path);
    m_windowState->addRecentFile(path);
    updateTabLabels();
    updateTitle();
}

void frmTessary::updateTitle()
{
    setWindowTitle(Texts::windowTitle(m_documents->fileName()));
    setWindowModified(txtMain->isModified());
}

void frmTessary::Picture1_Click()
{
    mnuOpen_Click();
}

// After Save As: the other tab that held the file it wrote goes.
void frmTessary::closeOthersOf(const DocumentTab &saved)
{
    for (int i = tabCount() - 1; i >= 0; --i) {
        DocumentTab &other = *m_tabs[size_t(i)];
        if (&other != &saved && other.fileIdentity() == saved.fileIdentity()) {
            other.commands->forgetRecoveryCopy();
            removeTab(i);
        }
    }
}

void frmTessary::mnuSave_Click()
{
    m_documents->save();
    updateTabLabels();
    updateTitle();
}

void frmTessary::picSave_Click()
{
    mnuSave_Click();
}

void frmTessary::mnuSaveas_Click()
{
    m_documents->saveAs();
    updateTabLabels();
    updateTitle();
}

void frmTessary::colourAs(const QString &path)
{
    m_colours->setSyntax(syntaxForPath(path));
    if (m_config)
        m_config->documentNamed(path);
}

// Ends the program without writing data.dat; only the document is asked about.
void frmTessary::mnuExit_Click()
{
    if (!maybeSaveAll())
        return;
    m_endingAtOnce = true;
    close();
    QCoreApplication::quit();
}

void frmTessary::mnuUndo_Click()
{
    picUndo_Click();
}

void frmTessary::picUndo_Click()
{
    objUndo->undo();
}

void frmTessary::mnuRedo_Click()
{
    picRedo_Click();
}

void frmTessary::picRedo_Click()
{
    objUndo->Redo();
}

void frmTessary::mnuCut_Click()
{
    objUndo->Cut();
}

void frmTessary::mnuCopy_Click()
{
    objUndo->Copy();
}

void frmTessary::mnuPaste_Click()
{
    objUndo->Paste();
}

void frmTessary::txtMain_MouseUp(int Button, int, int X, int Y)
{
    if (Button == 2)
        m_menus->mnuEdit->popup(txtMain->viewport()->mapToGlobal(QPoint(X, Y)));
}

void frmTessary::txtMain_Change()
{
    // An edit after a logout was cancelled is asked about again at closing.
    m_sessionEnding = false;
    UpdateHint();
    setWindowModified(txtMain->isModified());
    if (m_config)
        m_config->textChanged();
}

void frmTessary::showCaretPlace()
{
    if (!lblCaret) // the first tab is made before the status bar
        return;
    const QPoint place = txtMain->caretLineColumn();
    lblCaret->setText(Texts::caretPlace(place.y(), place.x()));
}

void frmTessary::showLineNumbers(bool shown)
{
    for (const auto &tab : m_tabs)
        tab->box->setLineNumbersShown(shown);
    m_menus->mnuLineNumbers->setChecked(shown);
    m_windowState->setLineNumbers(shown);
}

void frmTessary::UpdateHint()
{
    const Hint hint = hintAtCaret(*txtMain, m_vars.catalogue, m_colours ? &m_colours->aliases() : nullptr,
                                  m_config ? m_config->hintsAtCaret() : nullptr);
    // Writing the box's text neither searches nor adds to its list. What
    // the user is typing there stays while its search moves the caret.
    if (!cboSearch->hasFocus())
        cboSearch->setEditText(hint.word);
    showHint(hint.caption);
}

// A hint wider than the line can be read whole in its tooltip.
void frmTessary::showHint(const QString &caption)
{
    lblHint->setText(caption.left(HintShownChars));
    const bool fits = lblHint->fontMetrics().horizontalAdvance(lblHint->text()) <= lblHint->contentsRect().width();
    lblHint->setToolTip(fits ? QString() : QStringLiteral("<p>%1</p>").arg(lblHint->text().toHtmlEscaped()));
}

int frmTessary::FindInDocument(const QString &text)
{
    if (m_search)
        m_search->setLastText(text);
    return ::FindInDocument(*txtMain, m_prompts, text);
}

void frmTessary::mnuFindNext_Click(bool forward)
{
    // Nothing searched yet: the find dialog asks for the text.
    if (!m_search->findNext(forward))
        mnuFind_Click();
}

void frmTessary::mnuReplace_Click()
{
    m_search->showReplace();
}

void frmTessary::mnuGoto_Click()
{
    m_search->goToLine();
}

void frmTessary::cboSearch_Click()
{
    const QString text = cboSearch->currentText();
    FindInDocument(text);
    txtMain->SetFocus();
    if (cboSearch->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
        cboSearch->addItem(text);
}

void frmTessary::cboSearch_KeyDown(KeyEvent &key)
{
    if (key.KeyCode != VirtualKey::Return)
        return;
    FindInDocument(cboSearch->currentText());
    txtMain->SetFocus();
}

void frmTessary::mnuFind_Click()
{
    if (!m_search) // before Form_Load
        return;
    m_dialogs->showFind([this](const QString &text, SearchOptions options) { m_search->find(text, options); },
                        m_search->options());
}

void frmTessary::mnuBackups_Click()
{
    m_dialogs->showBackups();
}

void frmTessary::mnuCatalogue_Click()
{
    const auto off = m_dialogs->chooseFamiliesOff(m_vars.catalogue, m_windowState->familiesOff());
    if (!off)
        return;
    m_vars.catalogue.setFamiliesOff(*off);
    if (const Status saved = m_windowState->setFamiliesOff(*off); !saved)
        m_prompts.showError(saved.error());
    for (const auto &tab : m_tabs)
        tab->colours->recolourAll();
    m_config->catalogueChanged();
    completionCatalogue();
    UpdateHint();
}

void frmTessary::mnuScriptwiz_Click()
{
    m_dialogs->showScriptWizard([this](const QString &text) { insertIntoDocument(text); });
}

void frmTessary::mnuAss_Click()
{
    m_dialogs->showFileTypes();
}

void frmTessary::mnuNewver_Click()
{
    m_dialogs->openVersionPage();
}

void frmTessary::mnuAbout_Click()
{
    m_dialogs->showAbout();
}

void frmTessary::setUrlOpener(std::function<bool(const QUrl &)> openUrl)
{
    m_dialogs->setUrlOpener(std::move(openUrl));
}

// Through the undo engine, so one undo takes the insertion back.
void frmTessary::insertIntoDocument(const QString &text)
{
    undoEngine().InsertText(text);
}

// The names completion offers follow the catalogue's families; the aliases
// of the document and of its start-up order, and the game folder, are read
// as the list opens.
void frmTessary::completionCatalogue()
{
    auto known = std::make_shared<CatalogueCommands>(m_vars.catalogue);
    // Without the use counts names rank alphabetically: still a working
    // list, so the reason goes to the status bar rather than a dialog.
    if (const Status uses = m_completion->list().setCatalogue(m_vars.catalogue, m_programFolder); !uses)
        statusBar()->showMessage(uses.error());
    m_completion->setKnown(known);
    auto facts = std::make_shared<FileFacts>(*known);
    auto last = std::make_shared<QList<std::pair<QString, QString>>>();
    m_completion->setRefresh([this, known, facts, last](CompletionList &list) {
        QList<std::pair<QString, QString>> aliases;
        for (const AliasIndex::Definition &alias : m_colours->aliases().definitions())
            aliases.append({alias.name, alias.body});
        const ConfigWatcher &watcher = m_config->watcher();
        const std::shared_ptr<const ConfigModel> model = watcher.model();
        if (model) {
            const QString document = watcher.documentPath();
            aliases += configAliases(*model, *facts, [&](const QString &path) {
                if (path == document)
                    return txtMain->Text();
                const Result<QString> read = readConfig(path);
                return read.ok() ? read.value() : QString();
            });
        }
        // Sorting the names again is most of the cost of opening the list.
        if (aliases != *last) {
            list.setAliases(aliases);
            *last = std::move(aliases);
        }
        list.setGameFolder(model ? model->folder
                                 : (watcher.folder() ? watcher.folder()->folder() : QString()));
    });
}
