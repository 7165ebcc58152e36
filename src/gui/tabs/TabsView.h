#pragma once

#include <QObject>

#include <functional>

class DocumentTabBar;
class OpenDocuments;
class QWidget;

// The tab bar as a view of the open documents: one tab for each, their
// labels, the one in front. Clicks go to the documents (bring forward,
// close, move); the bar shows from the second document.
class TabsView : public QObject
{
    Q_OBJECT

public:
    // close asks the window to close a document (it may ask about changes).
    TabsView(QWidget &client, OpenDocuments &documents, std::function<void(int)> close);

    DocumentTabBar &bar() const { return *m_bar; }
    QString label(int index) const;

    // Follow the documents: one added at the end, one going, the one in front.
    void added();
    void removing(int index);
    void showCurrent();
    // The labels as the documents give them; only a changed one is set,
    // as each new text lays the whole bar out again.
    void showLabels();

    // Where the bar and the box in front go, under the controls down to top.
    void layout(QWidget &box, int top);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_client;
    OpenDocuments &m_documents;
    std::function<void(int)> m_close;
    DocumentTabBar *m_bar = nullptr;
};
