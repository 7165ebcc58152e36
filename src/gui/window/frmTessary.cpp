#include "gui/window/frmTessary.h"

#include "settings/Settings.h"
#include "settings/ViewSettings.h"
#include "settings/mdlVars.h"
#include "catalogue/Catalogue.h"
#include "catalogue/HintRule.h"
#include "catalogue/QuickSearch.h"
#include "gui/config/ConfigParts.h"
#include "gui/config/ConfigView.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/config/HintLine.h"
#include "gui/dialogs/MatchMarks.h"
#include "gui/editing/EditingCommands.h"
#include "gui/editing/FormIndicator.h"
#include "gui/editbox/CompletionPopup.h"
#include "gui/window/MainDialogs.h"
#include "gui/window/MainMenus.h"
#include "gui/dialogs/QtPrompts.h"
#include "gui/window/SearchCommands.h"
#include "gui/session/SessionKeeper.h"
#include "gui/window/WindowState.h"
#include "catalogue/CaretHint.h"
#include "catalogue/QuickSearchNames.h"
#include "documents/RecoveryStore.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/editbox/SyntaxColours.h"
#include "documents/Texts.h"
#include "gui/tabs/DocumentTab.h"
#include "gui/tabs/DocumentTabs.h"
#include "gui/tabs/TabPlaces.h"
#include "documents/OpenDocuments.h"
#include "gui/window/CompletionSources.h"
#include "gui/window/MainControls.h"
#include "gui/window/ToolPicture.h"
#include "gui/window/StoreStart.h"
#include "editbox/VirtualKey.h"
#include "undo/clsUndo.h"

#include <QCloseEvent>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <utility>

namespace {

// The client area at start, in pixels.
constexpr int ClientWidth = 407;
constexpr int ClientHeight = 272;
// Right-edge distances kept by the Quick Search label and box.
constexpr int SearchLabelFromRight = 242;
constexpr int SearchBoxFromRight = 171;

} // namespace

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
    setWindowIcon(MainControls::programIcon());
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
                                  for (DocumentTab *tab : m_tabs->all())
                                      tab->commands->reloadReplaced(path, message);
                              }});
    createControls();
    createMenus();
    m_places = std::make_unique<TabPlaces>(*m_tabs, m_prompts, [this](const QString &path) { openFile(path); });
    m_configParts = std::make_unique<ConfigParts>(
        *this, *txtMain, *m_tabs, m_vars.catalogue, *m_menus->mnuView, *m_menus->mnuEdit, m_dataFolder,
        ConfigParts::Hooks{[this] { return txtMain->caretLineColumn().y() - 1; },
                           [this] {
                               m_colours->setConfiguration(m_config->shownModel(), m_config->watcher().documentPath());
                               // What applies at start-up is what the text says now.
                               UpdateHint();
                           },
                           [this](const QString &path) { openFile(path); }, [this] { recordJump(); },
                           [this](const QString &path, const QString &line) { m_places->appendLine(path, line); },
                           [this](const QString &path) { return openFile(path), objUndo; }});
    m_config = &m_configParts->view();
    m_editing = new EditingCommands(*m_menus->mnuEdit, {[this] { return m_places->here(); },
                                                        [this](const JumpPlace &place) { return m_places->goTo(place); }},
                                    this);
    m_editing->setBox(*txtMain, *objUndo);
    m_windowState = new WindowState(*this, *txtMain, *m_menus->mnuRecent, m_prompts,
                                    [this](const QString &path) { openFile(path); });
    m_windowState->addViewItems(*m_menus->mnuView);
    m_session = std::make_unique<SessionKeeper>(*m_documents, *m_windowState, m_prompts, m_settingsWarned);
    m_completion = new CompletionPopup(*txtMain, this);
    connect(m_windowState->addCompletionItem(*m_menus->mnuView), &QAction::toggled, m_completion,
            &CompletionPopup::setEnabled);
    m_completion->setEnabled(m_windowState->completion());
    // Coming back to the program with one of its dialogs in front activates no main window.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            QTimer::singleShot(0, this, [this] { checkDisk(); });
    });
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

frmTessary::~frmTessary()
{
    delete m_tabs;
    delete m_windowState;
    delete m_completion;
}

void frmTessary::setDataFolder(const QString &folder)
{
    m_recovery = std::make_unique<RecoveryStore>(folder);
    if (const Status opened = m_recovery->open(); !opened) {
        m_recovery.reset();
        m_prompts.showError(Texts::recoveryNotKept(opened.error()));
    }
    m_tabs->setRecovery(m_recovery.get());
}

void frmTessary::createTabs()
{
    DocumentTabs::Hooks hooks;
    hooks.cameForward = [this](DocumentTab &tab, bool changed, bool justRead) { makeCurrent(tab, changed, justRead); };
    hooks.textChanged = [this] { txtMain_Change(); };
    hooks.caretMoved = [this] {
        UpdateHint();
        showCaretPlace();
    };
    hooks.undoStateChanged = [this] {
        if (m_form)
            m_form->refresh();
    };
    hooks.mouseUp = [this](int button, int shift, int x, int y) { txtMain_MouseUp(button, shift, x, y); };
    hooks.named = [this](const QString &path) { documentNamed(path); };
    hooks.sessionChanged = [this] {
        if (m_session)
            m_session->save();
    };
    hooks.suspendPainting = [this](bool suspend) { setUpdatesEnabled(!suspend); };
    hooks.close = [this](int index) { closeTab(index); };
    m_tabs = new DocumentTabs(*m_client, m_clipboard, m_vars.catalogue, m_prompts, std::move(hooks));
    m_documents = &m_tabs->documents();
    m_tabs->start(m_editTop, ClientWidth, ClientHeight);
}

// What follows the tab in front: the views over its box, the title, the hint.
void frmTessary::makeCurrent(DocumentTab &tab, bool changed, bool justRead)
{
    m_tab = &tab;
    txtMain = tab.box;
    objUndo = tab.undo.get();
    m_colours = tab.colours;
    if (m_windowState)
        m_windowState->setBox(*tab.box);
    if (m_completion) {
        m_completion->setBox(*tab.box);
        m_completion->setUndo(objUndo);
    }
    if (m_search)
        m_search->setBox(*tab.box, *objUndo);
    if (m_editing)
        m_editing->setBox(*tab.box, *objUndo);
    if (m_form)
        m_form->setBox(*tab.box, *objUndo);
    if (m_config)
        m_config->setBox(*tab.box, *tab.box->viewport(), tab.commands->fileName());
    if (cboSearch)
        QWidget::setTabOrder(txtMain, cboSearch);
    updateTitle();
    UpdateHint();
    showCaretPlace();
    if (changed) {
        txtMain->setFocus();
        // A change on disk while another tab was in front is told now; a
        // file read this moment has had no time to change.
        if (!justRead)
            QTimer::singleShot(0, this, [this] { checkDisk(); });
    }
}

bool frmTessary::closeTab(int index)
{
    if (!m_documents->close(index))
        return false;
    if (m_tab->isBlank())
        colourAs(QString());
    return true;
}

bool frmTessary::event(QEvent *event)
{
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) && lblHint)
        MainControls::followTooltipColours(*lblHint);
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

    const MainControls controls = MainControls::create(*m_client);
    picSave = controls.picSave;
    Picture1 = controls.Picture1;
    picUndo = controls.picUndo;
    picRedo = controls.picRedo;
    lblSearch = controls.lblSearch;
    cboSearch = controls.cboSearch;
    lblHint = controls.lblHint;
    m_editTop = controls.editTop;

    createTabs();

    // The caret's line and column, below the box.
    lblCaret = new QLabel(this);
    lblCaret->setObjectName(QStringLiteral("lblCaret"));
    m_form = new FormIndicator(statusBar());
    m_form->setBox(*txtMain, *objUndo);
    statusBar()->addPermanentWidget(m_form);
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

void frmTessary::createMenus()
{
    m_menus = std::make_unique<MainMenus>(menuBar(), *this);
}

void frmTessary::Form_Load(const QString &commandLineArgument)
{
    m_settingsUsable = openStore(m_vars, m_programFolder, m_dataFolder, m_prompts,
                                 [this](const QString &reason) { warnSettingsUnsaved(reason); });
    if (const Status read = LoadCatalogue(m_vars.catalogue, m_programFolder); !read)
        m_prompts.showError(read.error());
    MainControls::completeNames(*cboSearch, CompletionNames(m_vars.catalogue), [this] {
        KeyEvent key{VirtualKey::Return, 0, QStringLiteral("\r")};
        cboSearch_KeyDown(key);
    });
    m_search = new SearchCommands(this, *txtMain, *objUndo, m_prompts, [this](const QString &line) { showHint(line); });
    m_search->setBeforeJump([this] { recordJump(); });
    m_windowState->restore(m_dataFolder);
    m_vars.catalogue.setFamiliesOff(m_windowState->familiesOff());
    m_completion->setUndo(objUndo);
    m_completion->setEnabled(m_windowState->completion());
    completionCatalogue();
    if (!m_windowState->recentFiles().isEmpty())
        m_tab->commands->setLastChosen(m_windowState->recentFiles().constFirst());
    showLineNumbers(m_windowState->lineNumbers());
    if (commandLineArgument.isEmpty()) {
        m_session->reopen();
    } else {
        m_documents->beginSession(m_windowState->sessionFiles(), m_windowState->sessionCurrent(), false);
        m_documents->openCommandLine(commandLineArgument);
        if (!m_tab->fileName().isEmpty())
            documentNamed(m_tab->fileName());
    }
    // Offered once the window is up; each restored copy comes back in a tab.
    QTimer::singleShot(0, this, [this] {
        m_tabs->offerRecovery();
        if (!m_tab->fileName().isEmpty())
            colourAs(m_tab->fileName());
        updateTitle();
    });
    txtMain->setFocus();
}

bool frmTessary::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
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
    // The tab bar too while the window is not yet shown (a session restored at start).
    if (tabCount() > 1)
        m_tabs->layout();
    txtMain->resize(scaleWidth, txtMain->height());
    if (const int height = scaleHeight - txtMain->y(); height >= 0)
        txtMain->resize(txtMain->width(), height);
    lblSearch->move(scaleWidth - SearchLabelFromRight, lblSearch->y());
    cboSearch->move(scaleWidth - SearchBoxFromRight, cboSearch->y());
    lblHint->resize(scaleWidth, lblHint->height());
    setUpdatesEnabled(true);
}

void frmTessary::closeEvent(QCloseEvent *event)
{
    const bool closes = m_session->closing(m_endingAtOnce, [this] {
        if (!m_settingsUsable)
            return;
        if (const Status saved = m_dialogs->saveSettings(); !saved)
            warnSettingsUnsaved(saved.error());
    });
    closes ? event->accept() : event->ignore();
}

// A new Untitled tab; a blank one in front is used as it is.
void frmTessary::mnuNew_Click()
{
    m_documents->addBlank();
    colourAs(QString());
    updateTitle();
}

void frmTessary::mnuOpen_Click()
{
    const QString path = m_prompts.chooseOpenPath(QString::fromLatin1(Texts::OpenTitle), Texts::fileDialogFilters(),
                                                  m_tab->commands->dialogStart());
    if (!path.isEmpty())
        openFile(path);
}

void frmTessary::openFile(const QString &path)
{
    if (m_documents->open(path) == OpenDocuments::Opened::Opened)
        m_windowState->addRecentFile(path);
}

void frmTessary::documentNamed(const QString &path)
{
    colourAs(path);
    m_windowState->addRecentFile(path);
    m_tabs->showLabels();
    updateTitle();
}

void frmTessary::updateTitle()
{
    setWindowTitle(Texts::windowTitle(m_tab->fileName()));
    setWindowModified(txtMain->isModified());
}

void frmTessary::mnuSave_Click()
{
    m_tab->commands->save();
    m_tabs->showLabels();
    updateTitle();
}

void frmTessary::mnuSaveas_Click()
{
    m_tab->commands->saveAs();
    m_tabs->showLabels();
    updateTitle();
}

// Each tab comes forward as it is saved, so a question about it is asked in view.
void frmTessary::mnuSaveAll_Click()
{
    m_documents->saveAll();
    updateTitle();
}

void frmTessary::recordJump()
{
    if (m_editing)
        m_editing->recordJump();
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
    if (!m_documents->maybeSaveAll())
        return;
    m_endingAtOnce = true;
    close();
    QCoreApplication::quit();
}

void frmTessary::txtMain_MouseUp(int Button, int, int X, int Y)
{
    if (Button == 2)
        m_menus->mnuEdit->popup(txtMain->viewport()->mapToGlobal(QPoint(X, Y)));
}

void frmTessary::txtMain_Change()
{
    if (m_session)
        m_session->edited();
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
    m_tabs->setLineNumbers(shown);
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
    lblHint->setHint(hint.caption, hint.startup);
}

void frmTessary::showHint(const QString &caption)
{
    lblHint->setHint(caption);
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
    // While the find dialog is open every match is marked.
    m_dialogs->showFind(MatchMarks::findActions([this]() -> RichTextBox & { return *txtMain; },
                                                [this](const QString &text, SearchOptions options) {
                                                    m_search->find(text, options);
                                                }),
                        m_search->options());
}

void frmTessary::mnuBackups_Click()
{
    const auto &game = m_config->watcher().folder();
    m_dialogs->showBackups(game ? game->folder() : QString());
}

void frmTessary::mnuCatalogue_Click()
{
    const auto off = m_dialogs->chooseFamiliesOff(m_vars.catalogue, m_windowState->familiesOff());
    if (!off)
        return;
    m_vars.catalogue.setFamiliesOff(*off);
    if (const Status saved = m_windowState->setFamiliesOff(*off); !saved)
        m_prompts.showError(saved.error());
    for (DocumentTab *tab : m_tabs->all())
        tab->colours->recolourAll();
    m_config->catalogueChanged();
    completionCatalogue();
    UpdateHint();
}

void frmTessary::mnuScriptwiz_Click()
{
    m_dialogs->showScriptWizard([this](const QString &text) { insertIntoDocument(text); });
}

// Through the undo engine, so one undo takes the insertion back.
void frmTessary::insertIntoDocument(const QString &text)
{
    undoEngine().InsertText(text);
}

// The names completion offers follow the catalogue's families; without
// the use counts they rank alphabetically: still a working list, so the
// reason goes to the status bar rather than a dialog.
void frmTessary::completionCatalogue()
{
    if (const Status uses = m_completion->list().setCatalogue(m_vars.catalogue, m_programFolder); !uses)
        statusBar()->showMessage(uses.error());
    feedCompletion(
        *m_completion, m_vars.catalogue, m_config->watcher(), [this]() -> const AliasIndex & { return m_colours->aliases(); },
        [this](const QString &path) {
            const OpenDocument *open = m_documents->find(path);
            return open ? open->editBox().Text() : QString();
        });
}
