#pragma once

#include <QStringList>

#include <functional>

class HintLine;
class QComboBox;
class QIcon;
class QLabel;
class QWidget;
class ToolPicture;

// The controls above the document at their start places: the four tool
// pictures, the Quick Search label and box, and the hint line. The window
// wires them; their names are the ones the window's handlers use.
struct MainControls
{
    ToolPicture *picSave = nullptr;
    ToolPicture *Picture1 = nullptr;
    ToolPicture *picUndo = nullptr;
    ToolPicture *picRedo = nullptr;
    QLabel *lblSearch = nullptr;
    QComboBox *cboSearch = nullptr;
    HintLine *lblHint = nullptr;
    // Where the document starts, just under the hint line.
    int editTop = 0;

    static MainControls create(QWidget &client);
    // The installed program's icon, in the sizes window frames and task bars ask for.
    static QIcon programIcon();
    // The hint line is a standing tooltip: pale yellow in a light theme, the
    // theme's own tooltip colours in a dark one.
    static void followTooltipColours(QLabel &hint);
    // The Quick Search box completes the names; Enter in it (the list's
    // pick already in the field) runs `enter`.
    static void completeNames(QComboBox &search, const QStringList &names, std::function<void()> enter);
};
