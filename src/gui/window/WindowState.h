#pragma once

#include "settings/ViewSettings.h"

#include <QObject>

#include <functional>

class Prompts;
class QAction;
class QMainWindow;
class QMenu;
class QAbstractScrollArea;
class QFont;
class QTimer;

// What the main window remembers between runs (its place, the text zoom,
// the recent files) and the files dropped on it. Kept in the data folder's
// own settings file, never in data.dat.
class WindowState : public QObject
{
    Q_OBJECT

public:
    // open loads a recent or dropped file (in a tab of its own).
    WindowState(QMainWindow &window, QAbstractScrollArea &box, QMenu &recentMenu, Prompts &prompts,
                std::function<void(const QString &)> open);

    // The box the zoom and font apply to (the current tab's); it takes the previous one's font.
    void setBox(QAbstractScrollArea &box);
    // The files open at the last closing and the one in front; kept with the rest.
    const QStringList &sessionFiles() const { return m_view.sessionFiles; }
    int sessionCurrent() const { return m_view.sessionCurrent; }
    void setSession(const QStringList &files, int current)
    {
        m_view.sessionFiles = files;
        m_view.sessionCurrent = current;
    }

    // Reads the settings file of a data folder and puts the window back.
    void restore(const QString &dataFolder);
    // Writes it.
    Status save();

    void addRecentFile(const QString &path);
    const QStringList &recentFiles() const { return m_view.recentFiles(); }

    // The catalogue families the player switched off; setting them saves.
    const QStringList &familiesOff() const { return m_view.familiesOff; }
    Status setFamiliesOff(const QStringList &ids);

    void zoomIn() { setZoom(m_view.zoom + 1); }
    void zoomOut() { setZoom(m_view.zoom - 1); }
    void zoomReset() { setZoom(0); }
    int zoom() const { return m_view.zoom; }
    bool lineNumbers() const { return m_view.lineNumbers; }
    void setLineNumbers(bool shown) { m_view.lineNumbers = shown; }

    // View > Zoom In, Zoom Out, Reset Zoom (the zoom keys' own actions) and
    // Font...; the font is remembered with the rest.
    void addViewItems(QMenu &viewMenu);
    // The box's font at zoom 0; the zoom steps start again from it.
    void setEditorFont(const QFont &font);
    QFont editorFont() const;
    // Asks for a font, starting on the system's fixed font while the box has its default.
    void chooseFont();

    // View > Completion, checked while the list may offer itself; the
    // choice is remembered with the rest.
    QAction *addCompletionItem(QMenu &viewMenu);
    bool completion() const { return m_view.completion; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setZoom(int steps);
    void keepOnScreen(const QSize &startSize);
    void fillRecentMenu();
    void keepRecentFiles();
    void openRecent(const QString &path);

    QMainWindow &m_window;
    QAbstractScrollArea *m_box;
    QMenu &m_recentMenu;
    Prompts &m_prompts;
    std::function<void(const QString &)> m_open;
    QString m_dataFolder;
    ViewSettings m_view;
    qreal m_basePointSize = 0;
    QString m_defaultFamily;
    qreal m_defaultPoints = 0;
    QAction *m_zoomIn = nullptr;
    QAction *m_zoomOut = nullptr;
    QAction *m_zoomReset = nullptr;
    QAction *m_completion = nullptr;
    QTimer *m_recentWrite = nullptr;
};
