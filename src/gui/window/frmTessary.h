#pragma once

#include "documents/OpenDocuments.h"
#include "gui/dialogs/frmFind.h"
#include "gui/editbox/SystemClipboard.h"
#include "gui/tabs/DocumentTab.h"
#include "gui/tabs/DocumentTabs.h"
#include "gui/tabs/TabsView.h"
#include "gui/session/SessionKeeper.h"
#include "gui/window/MainDialogs.h"
#include "undo/clsUndo.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class CompletionPopup;
class ConfigView;
class ConfigParts;
class HintLine;

class EditingCommands;
class FormIndicator;
class Prompts;
class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPixmap;
class QRect;
class QTimer;
class RecoverySchedule;
class RecoveryStore;
class RichTextBox;
class SyntaxColours;
class ToolPicture;
class QUrl;
struct JumpPlace;
struct KeyEvent;
struct mdlVars;
class MainMenus;
class SearchCommands;
class TabPlaces;
class WindowState;

// The main window: tool pictures, Quick Search box, hint line, menus, and a
// tab for each open document (the tab bar shows from the second one). It
// wires its controls and hands the work to the core; the hint line, the
// searches and the configuration's views follow the tab in front.
class frmTessary : public QMainWindow
{
    Q_OBJECT

public:
    // The program folder holds data.dat. Without prompts the window asks
    // its questions with the desktop's dialogs.
    frmTessary(mdlVars &vars, const QString &programFolder, Prompts *prompts = nullptr, QWidget *parent = nullptr)
        : frmTessary(vars, programFolder, programFolder, prompts, parent)
    {
    }
    // data.dat, the backup folders and "temp" go to the data folder; the
    // program folder keeps commands.dat.
    frmTessary(mdlVars &vars, const QString &programFolder, const QString &dataFolder, Prompts *prompts = nullptr,
               QWidget *parent = nullptr);
    ~frmTessary() override;

    // Start-up, before the window is shown: settings, then the file named
    // on the command line, if any, else the files open at the last closing.
    void Form_Load(const QString &commandLineArgument);

    // The current tab's edit box.
    RichTextBox &editBox() { return *txtMain; }
    // The undo engine bound to the current tab's box. Text put into the box
    // by program code goes through it (InsertText) so that it can be undone.
    clsUndo &undoEngine() { return *objUndo; }

    int tabCount() const { return m_documents->count(); }
    int currentTab() const { return m_documents->currentIndex(); }
    void setCurrentTab(int index) { m_documents->setCurrent(index); }
    RichTextBox &editBox(int index) { return *m_tabs->at(index).box; }
    clsUndo &undoEngine(int index) { return *m_tabs->at(index).undo; }
    // The document's path in a tab; empty when it has no file.
    QString tabFile(int index) const { return m_documents->at(index).fileName(); }
    QString tabLabel(int index) const { return m_tabs->view().label(index); }
    // Ctrl+Tab (1) and Ctrl+Shift+Tab (-1), round the tabs.
    void nextTab(int step) { m_documents->next(step); }
    // Ctrl+W: asks the usual question about the tab's changes; false when cancelled.
    bool closeTab(int tab);

    // Where unsaved documents are kept against a crash (a "recovery" folder
    // is made there); set before Form_Load. Without it nothing is kept.
    void setDataFolder(const QString &folder);

    // The session ends under the window (see SessionEnd). endSession keeps
    // the unsaved text as the recovery copy and ends the program;
    // commitData keeps it, asks about it when mayAsk, and returns false when
    // the user cancels. Either way closing asks nothing more until the next edit.
    void endSession() { m_session->endSession(); }
    bool commitData(bool mayAsk) { return m_session->commitData(mayAsk); }
    // Whether the session ended under the window (endSession, or commitData agreed).
    bool sessionEnded() const { return m_session->ended(); }
    // Files that reach the window too late to open, at the end of a session:
    // added to the session kept for the next start, which keeps its own files.
    void keepForNextStart(const QStringList &paths) { m_session->keepForNextStart(paths); }

    void mnuNew_Click();
    void mnuOpen_Click();
    void Picture1_Click() { mnuOpen_Click(); }
    void mnuSave_Click();
    void picSave_Click() { mnuSave_Click(); }
    void mnuSaveas_Click();
    // Saves every tab with unsaved changes, asking a name for one without a file.
    void mnuSaveAll_Click();
    void mnuExit_Click();
    void mnuUndo_Click() { picUndo_Click(); }
    void picUndo_Click() { objUndo->undo(); }
    void mnuRedo_Click() { picRedo_Click(); }
    void picRedo_Click() { objUndo->Redo(); }
    void mnuCut_Click() { objUndo->Cut(); }
    void mnuCopy_Click() { objUndo->Copy(); }
    void mnuPaste_Click() { objUndo->Paste(); }
    // The right button shows the Edit menu at the mouse position.
    void txtMain_MouseUp(int Button, int Shift, int X, int Y);
    // Shows the mod settings modally, made on first use.
    void mnuBackups_Click();
    // Which catalogue families are hinted and coloured.
    void mnuCatalogue_Click();

    void mnuScriptwiz_Click();
    void mnuAss_Click() { m_dialogs->showFileTypes(); }
    void mnuNewver_Click() { m_dialogs->openVersionPage(); }
    void mnuAbout_Click() { m_dialogs->showAbout(); }

    // How addresses reach the user's web browser; tests put their own here.
    void setUrlOpener(std::function<bool(const QUrl &)> openUrl) { m_dialogs->setUrlOpener(std::move(openUrl)); }
    // Every change of the edit box's text, whoever made it, comes here.
    void txtMain_Change();
    // The word before the caret into the Quick Search box, its explanation into the hint line.
    void UpdateHint();
    // The caret's line and column in the status bar.
    void showCaretPlace();
    // View > Line Numbers; remembered with the view.
    void showLineNumbers(bool shown);

    // The document search shared by the Quick Search and the find dialog.
    int FindInDocument(const QString &text);
    // Picking an item searches and appends the searched text to the list.
    void cboSearch_Click();
    // Enter searches without changing the list.
    void cboSearch_KeyDown(KeyEvent &key);
    void mnuFind_Click();
    // From the caret with the last text searched, round the document.
    void mnuFindNext_Click(bool forward);
    void mnuReplace_Click();
    void mnuGoto_Click();
    // Opens the file in a tab, or brings forward the tab that holds it; a
    // blank Untitled tab in front is replaced. Other tabs are not asked about.
    void openFile(const QString &path);
    // Before a jump that moves the caret (a Game State click): where it
    // stands now is where Go Back (Alt+Left) returns to.
    void recordJump();

protected:
    // Form_Unload.
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void completionCatalogue();
    void Form_Resize();
    void warnSettingsUnsaved(const QString &reason) { m_session->warnSettingsUnsaved(reason); }
    void insertIntoDocument(const QString &text);
    // Colours the document as the file at this path; empty for a new document.
    void colourAs(const QString &path);
    // The tabs of the open documents.
    void createTabs();
    // changed: another tab came forward; justRead: its file was read just
    // now, so it is not checked against the disk.
    void makeCurrent(DocumentTab &tab, bool changed, bool justRead);
    // The current tab's file against the disk; a file deleted on disk leaves its tab modified.
    void checkDisk()
    {
        m_tab->commands->checkDisk();
        m_tabs->showLabels();
    }
    // The title names the document; the mark follows its modified state.
    void updateTitle();
    void showHint(const QString &caption);
    // After a command that may have given the document a file: colours,
    // recent files and title follow it.
    void documentNamed(const QString &path);

    mdlVars &m_vars;
    const QString m_programFolder;
    // Where data.dat, the backup folders and "temp" live; setDataFolder's
    // recovery folder is another matter.
    const QString m_dataFolder;
    SystemClipboard m_clipboard;
    std::unique_ptr<Prompts> m_ownPrompts;
    Prompts &m_prompts;
    // The open documents in tab order and their tabs; m_tab is the one in
    // front, and txtMain, objUndo and m_colours are its.
    DocumentTabs *m_tabs = nullptr;
    OpenDocuments *m_documents = nullptr;
    DocumentTab *m_tab = nullptr;
    int m_editTop = 0;
    bool m_settingsWarned = false;
    bool m_settingsUsable = true;
    bool m_endingAtOnce = false;
    std::unique_ptr<SessionKeeper> m_session;
    std::unique_ptr<TabPlaces> m_places;
    std::unique_ptr<MainDialogs> m_dialogs;
    // The configuration around the document: problems, start-up order, definitions.
    ConfigView *m_config = nullptr;
    std::unique_ptr<ConfigParts> m_configParts;
    CompletionPopup *m_completion = nullptr;
    clsUndo *objUndo = nullptr;
    std::unique_ptr<RecoveryStore> m_recovery;

    QWidget *m_client = nullptr;
    ToolPicture *picSave = nullptr;
    ToolPicture *Picture1 = nullptr;
    ToolPicture *picUndo = nullptr;
    ToolPicture *picRedo = nullptr;
    QLabel *lblSearch = nullptr;
    QComboBox *cboSearch = nullptr;
    HintLine *lblHint = nullptr;
    QLabel *lblCaret = nullptr;
    RichTextBox *txtMain = nullptr;
    SyntaxColours *m_colours = nullptr;

    std::unique_ptr<MainMenus> m_menus;
    WindowState *m_windowState = nullptr;
    SearchCommands *m_search = nullptr;
    FormIndicator *m_form = nullptr;
    EditingCommands *m_editing = nullptr;
};
