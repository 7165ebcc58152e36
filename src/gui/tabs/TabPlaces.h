#pragma once

#include <QString>

#include <functional>

class DocumentTabs;
class Prompts;
struct DocumentTab;
struct JumpPlace;

// Places in the open tabs: where a jump goes back to (a tab whose file was
// closed opens again), and a line added at the end of a file's tab.
class TabPlaces
{
public:
    // `open` opens a file in a tab as File > Open does.
    TabPlaces(DocumentTabs &tabs, Prompts &prompts, std::function<void(const QString &)> open);

    // The caret's place in the tab in front.
    JumpPlace here() const;
    // False when the place's tab is gone and its file with it.
    bool goTo(const JumpPlace &place);
    // The file opened in its tab (made empty first when it is missing), the
    // line added at its end as one undo step, for the player to save.
    void appendLine(const QString &path, const QString &line);

private:
    // A tab is named by its file, which opens again once its tab is closed;
    // a tab without one by a name of its own.
    static QString keyOf(const DocumentTab &tab);

    DocumentTabs &m_tabs;
    Prompts &m_prompts;
    std::function<void(const QString &)> m_open;
};
