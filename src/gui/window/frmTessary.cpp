#include "gui/window/frmTessary.h"

#include "settings/Settings.h"
#include "settings/mdlVars.h"
#include "store/PendingAdds.h"
#include "backups/Restore.h"
#include "store/DataImport.h"
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
#include "gui/tabs/DocumentTab.h"
#include "gui/tabs/TabsView.h"
#include "documents/OpenDocuments.h"
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
                                  for (DocumentTab *tab : tabs())
                                      tab->commands->reloadReplaced(path, message);
                              }});
    createControls();
    createMenus();
    m_config = new ConfigView(*this, *txtMain, *txtMain->viewport(), m_vars.catalogue, *m_menus->mnuView,
                              *m_menus->mnuEdit, [this] { return txtMain->caretLineColumn().y() - 1; });
    // Each analysis marks its problems in the text and makes other files' aliases known.
    connect(&m_config->watcher(), &ConfigWatcher::analysed, this, [this] {
        m_colours->setConfiguration(m_config->watcher().model(), m_config->watcher().documentPath());
    });
    // Another file of the configuration (Go to Definition, the panels) opens in a tab.
    m_config->setOpener([this](const QString &path) { openFile(path); });
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
    // The tabs' colours go while the boxes are whole: their event filters
    // would otherwise see an edit box half destroyed.
    m_documents.reset();
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
    m_documents->setRecoveryStore(m_recovery.get());
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

DocumentTab &frmTessary::tab(int index) const
{
    return static_cast<DocumentTab &>(m_documents->at(index));
}

// The tabs' side of the open documents: the bar and the boxes follow them.
void frmTessary::createDocuments()
{
    m_documents = std::make_unique<OpenDocuments>(m_prompts, [this] { return makeTab(); });
    m_tabsView = new TabsView(*m_client, *m_documents, [this](int index) { closeTab(index); });
    OpenDocuments::Views views;
    views.added = [this](OpenDocument &) { m_tabsView->added(); };
    views.removing = [this](int index, OpenDocument &) { m_tabsView->removing(index); };
    views.broughtForward = [this](OpenDocument &document, bool justRead) {
        makeCurrent(static_cast<DocumentTab &>(document), justRead);
    };
    views.loaded = [](OpenDocument &document) {
        static_cast<DocumentTab &>(document).colours->setSyntax(syntaxForPath(document.fileName()));
    };
    // Colours, recent files and title follow the name Save As gave.
    views.named = [this](OpenDocument &document) {
        if (&document == m_tab)
            documentNamed(document.fileName());
    };
    views.labelsChanged = [this] {
        updateTabLabels();
        layoutTabs();
    };
    // Written as it changes: after a kill the tabs still come back.
    views.sessionChanged = [this](const QStringList &, int) { saveWindowState(); };
    m_documents->setViews(std::move(views));
}

std::unique_ptr<OpenDocument> frmTessary::makeTab()
{
    auto *box = new RichTextBox(m_clipboard, m_client);
    box->setObjectName(QStringLiteral("txtMain"));
    if (txtMain) {
        box->setFont(txtMain->font());
        box->setGeometry(txtMain->geometry());
    } else {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9.75);
        font.setWeight(QFont::Normal);
        box->setFont(font);
    }
    box->setAccessibleName(tr("Document"));
    box->setLineNumbersShown(!m_windowState || m_windowState->lineNumbers());
    box->hide();
    auto owned = std::make_unique<DocumentTab>(*box, m_prompts, *this);
    DocumentTab &tab = *owned;
    tab.colours = new SyntaxColours(*box, m_vars.catalogue, this);
    tab.undo = std::make_unique<clsUndo>();
    tab.undo->setWindowHooks({[this](bool suspend) { setUpdatesEnabled(!suspend); },
                              [](bool busy) {
                                  if (busy)
                                      QApplication::setOverrideCursor(Qt::WaitCursor);
                                  else
                                      QApplication::restoreOverrideCursor();
                              },
                              [&tab](const QString &text) { return tab.commands->pasteAccepted(text); }});
    tab.undo->setRichBox(box);
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
    box->setChangeHandler([this, &tab] { tabChanged(tab); });
    // The hint follows the caret as well as the text.
    connect(box, &RichTextBox::caretMoved, this, [this, &tab] {
        if (&tab != m_tab)
            return;
        UpdateHint();
        showCaretPlace();
    });
    box->setMouseUpHandler([this](int button, int shift, int x, int y) { txtMain_MouseUp(button, shift, x, y); });
    tab.recoveryTimer = new QTimer(this);
    tab.recoveryTimer->setSingleShot(true);
    connect(tab.recoveryTimer, &QTimer::timeout, this, [this, &tab] { keepRecoveryCopy(tab); });
    tab.recoverySchedule = std::make_unique<RecoverySchedule>(RecoveryPauseMs, RecoveryBoundMs);
    return owned;
}

void frmTessary::makeCurrent(DocumentTab &tab, bool justRead)
{
    DocumentTab *const previous = std::exchange(m_tab, &tab);
    txtMain = tab.box;
    objUndo = tab.undo.get();
    m_colours = tab.colours;
    if (previous && previous != &tab) {
        tab.box->setGeometry(previous->box->geometry());
        previous->box->hide();
    }
    m_tabsView->showCurrent();
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

int frmTessary::tabCount() const
{
    return m_documents->count();
}

int frmTessary::currentTab() const
{
    return m_documents->currentIndex();
}

void frmTessary::setCurrentTab(int index)
{
    m_documents->setCurrent(index);
}

RichTextBox &frmTessary::editBox(int index)
{
    return *tab(index).box;
}

clsUndo &frmTessary::undoEngine(int index)
{
    return *tab(index).undo;
}

QString frmTessary::tabFile(int index) const
{
    return m_documents->at(index).fileName();
}

QString frmTessary::tabLabel(int index) const
{
    return m_tabsView->label(index);
}

void frmTessary::nextTab(int step)
{
    m_documents->next(step);
}

bool frmTessary::closeTab(int index)
{
    if (!m_documents->close(index))
        return false;
    if (m_tab->isBlank())
        colourAs(QString());
    return true;
}

void frmTessary::layoutTabs()
{
    if (m_tabsView && txtMain)
        m_tabsView->layout(*txtMain, m_editTop);
}

void frmTessary::updateTabLabels()
{
    for (int i = 0; i < tabCount(); ++i)
        tab(i).markShown = tab(i).commands->unsaved();
    m_tabsView->showLabels();
}

// A file deleted on disk leaves its tab modified.
void frmTessary::checkDisk()
{
    m_tab->commands->checkDisk();
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

    createDocuments();
    m_documents->start();
    m_tab->box->setGeometry(0, editTop, ClientWidth, ClientHeight - editTop);

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
        m_tab->commands->setLastChosen(m_windowState->recentFiles().constFirst());
    showLineNumbers(m_windowState->lineNumbers());
    if (commandLineArgument.isEmpty()) {
        reopenSession();
    } else {
        m_documents->beginSession(m_windowState->sessionFiles(), m_windowState->sessionCurrent(), false);
        m_documents->openCommandLine(commandLineArgument);
        if (!m_tab->fileName().isEmpty())
            documentNamed(m_tab->fileName());
    }
    // Offered once the window is up; each restored copy comes back in a tab.
    QTimer::singleShot(0, this, [this] {
        m_documents->offerRecovery();
        // Restored copies have given their tabs paths: each is coloured as its file.
        for (DocumentTab *tab : tabs()) {
            if (const FileSyntax syntax = syntaxForPath(tab->commands->fileName()); tab->colours->syntax() != syntax)
                tab->colours->setSyntax(syntax);
        }
        if (!m_tab->fileName().isEmpty())
            colourAs(m_tab->fileName());
        updateTitle();
    });
    txtMain->setFocus();
}

// The files open at the last closing, in their order, with the same one in
// front; those that are gone are told about in one message.
void frmTessary::reopenSession()
{
    const QStringList missing =
        m_documents->beginSession(m_windowState->sessionFiles(), m_windowState->sessionCurrent(), true);
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

std::vector<DocumentTab *> frmTessary::tabs() const
{
    std::vector<DocumentTab *> all;
    for (int i = 0; i < tabCount(); ++i)
        all.push_back(&tab(i));
    return all;
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
        layoutTabs();
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
        for (DocumentTab *tab : tabs())
            tab->commands->forgetRecoveryCopy();
        event->accept();
        return;
    }
    // At the end of a session the question was asked already, or could not be.
    if (!m_sessionEnding && !m_documents->maybeSaveAll()) {
        event->ignore();
        return;
    }
    if (m_settingsUsable) {
        if (const Status saved = m_dialogs->saveSettings(); !saved)
            warnSettingsUnsaved(saved.error());
    }
    saveWindowState();
    if (!m_sessionEnding) {
        for (DocumentTab *tab : tabs())
            tab->commands->forgetRecoveryCopy();
    }
    event->accept();
}

void frmTessary::endSession()
{
    for (DocumentTab *tab : tabs())
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
    for (DocumentTab *tab : tabs())
        tab->commands->endSession(false);
    m_sessionEnding = !mayAsk || m_documents->maybeSaveAll();
    if (m_sessionEnding)
        saveWindowState(false);
    if (mayAsk && m_sessionEnding) {
        for (DocumentTab *tab : tabs())
            tab->commands->forgetRecoveryCopy();
    }
    return m_sessionEnding;
}

void frmTessary::keepForNextStart(const QStringList &paths)
{
    QStringList files = m_documents->sessionFiles();
    for (const QString &path : paths) {
        if (!files.contains(path))
            files << path;
    }
    m_windowState->setSession(files, m_documents->sessionCurrent());
    (void)m_windowState->save();
}

// A folder already told about is not told about again.
void frmTessary::saveWindowState(bool mayTell)
{
    m_windowState->setSession(m_documents->sessionFiles(), m_documents->sessionCurrent());
    if (const Status saved = m_windowState->save(); !saved && mayTell && !std::exchange(m_settingsWarned, true))
        m_prompts.showError(saved.error());
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
    updateTabLabels();
    updateTitle();
}

void frmTessary::updateTitle()
{
    setWindowTitle(Texts::windowTitle(m_tab->fileName()));
    setWindowModified(txtMain->isModified());
}

void frmTessary::Picture1_Click()
{
    mnuOpen_Click();
}

void frmTessary::mnuSave_Click()
{
    m_tab->commands->save();
    updateTabLabels();
    updateTitle();
}

void frmTessary::picSave_Click()
{
    mnuSave_Click();
}

void frmTessary::mnuSaveas_Click()
{
    m_tab->commands->saveAs();
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
    if (!m_documents->maybeSaveAll())
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
    for (DocumentTab *tab : tabs())
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
    for (DocumentTab *tab : tabs())
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
