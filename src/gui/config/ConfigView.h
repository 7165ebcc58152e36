#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class ConfigHints;
class ConfigModel;
class ConfigWatcher;
class EditBox;
class ProblemsPanel;
class QAction;
class QLabel;
class QMainWindow;
class QWidget;
class QMenu;
class QTimer;
class clsUndo;
struct ConfigProblem;
class StartupOrderView;
class WiderHints;
struct Catalogue;

// The player's configuration around the open document, in the main
// window: the Problems panel, the Start-up Order view, the problem count
// and config.cfg's notice in the status area, Go to Definition, and the
// configuration's side of the hint line.
class ConfigView : public QObject
{
    Q_OBJECT

public:
    // `caretLine` gives the caret's line from 0, cheaply; `clicks` is the
    // widget the box takes mouse clicks on, for Ctrl+click.
    ConfigView(QMainWindow &window, EditBox &box, QWidget &clicks, const Catalogue &catalogue, QMenu &viewMenu,
               QMenu &editMenu, std::function<int()> caretLine);
    ~ConfigView() override;

    // Another document is in front: its box, the widget it takes clicks on, its path.
    void setBox(EditBox &box, QWidget &clicks, const QString &path);
    EditBox &box() const { return *m_box; }
    // How another file of the configuration is opened; without it, in a window of its own.
    void setOpener(std::function<void(const QString &)> open) { m_open = std::move(open); }
    // Runs before a jump to a definition, a problem or another file (for Go Back).
    void setBeforeJump(std::function<void()> beforeJump) { m_beforeJump = std::move(beforeJump); }

    // tessary.ini, where the engine chosen for each game folder is kept.
    void setSettingsFile(const QString &iniPath);
    // Brings the file's document to the front, opened in a tab if need be,
    // and gives its undo engine, or null: how a fix edits a file.
    void setEditor(std::function<clsUndo *(const QString &)> edit) { m_edit = std::move(edit); }
    // Moves a line that a later file overrides to the end of userconfig.cfg,
    // which runs last: one undo step in each file.
    void moveToUserconfig(const QString &path, int line);

    // The document now has this path; empty for a new one.
    void documentNamed(const QString &path);
    void textChanged();
    // Files may have changed on disk while another program had the focus.
    void refresh();
    // Catalogue families were switched on or off: what is known changed.
    void catalogueChanged();
    // The configuration's side of the hint at the caret, or null.
    const WiderHints *hintsAtCaret();

    // F12: an alias's definition, or the file an exec line names.
    void goToDefinition();
    // A line of a file of the configuration, as the Problems panel goes there.
    void goTo(const QString &path, int line);
    // The analysis the views of the configuration follow.
    ConfigWatcher &watcher() const { return *m_watcher; }
    // The latest analysis as the window shows it: without the word being
    // typed, which is judged once the caret leaves it or a second has
    // passed since its line last changed, and without a quote just opened
    // while the caret is inside it. Null as watcher().model() is.
    std::shared_ptr<const ConfigModel> shownModel() const { return m_shown; }
    // Where the names declared fine are kept (tessary.ini in it).
    void setDataFolder(const QString &folder);

    QAction *mnuProblems = nullptr;
    QAction *mnuStartupOrder = nullptr;
    QAction *mnuDefinition = nullptr;

signals:
    // The player asked to see the config.cfg the game will write.
    void writtenConfigWanted();
    // shownModel() changed.
    void shown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void analysed();
    // Filters the latest analysis for what is being typed, and shows it.
    void show();
    void showProblems();
    bool hidden(const ConfigProblem &problem, int caretLine, int caretColumn, bool settling) const;
    void loadAcceptedNames();
    void acceptName(const QString &name, bool fine);
    void openElsewhere(const QString &path);
    void say(const QString &message);
    QString notice() const;

    QMainWindow &m_window;
    EditBox *m_box;
    QWidget *m_clicks;
    std::function<void(const QString &)> m_open;
    std::function<void()> m_beforeJump;
    std::function<clsUndo *(const QString &)> m_edit;
    std::function<int()> m_caretLine;
    ConfigWatcher *m_watcher = nullptr;
    ProblemsPanel *m_panel = nullptr;
    StartupOrderView *m_order = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_notice = nullptr;
    std::unique_ptr<ConfigHints> m_hints;
    QString m_ini;
    std::shared_ptr<const ConfigModel> m_shown;
    QString m_dataFolder;
    QStringList m_accepted;
    // The line last changed and when, for the word being typed.
    int m_editedLine = -1;
    QElapsedTimer m_edited;
    bool m_hiding = false; // shownModel() leaves something out for the caret
    QTimer *m_settle = nullptr;
};
