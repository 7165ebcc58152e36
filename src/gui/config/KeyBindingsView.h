#pragma once

#include <QWidget>

class BindMap;
class KeyboardPicture;
class QImage;
class KeyTracePane;
class QLabel;

// View → Key Bindings: the keyboard picture with a legend of the kinds'
// colours, the files it was drawn from, and Save as Picture. It lives in a
// dock of the main window, so it never covers the line a key goes to.
class KeyBindingsView : public QWidget
{
    Q_OBJECT

public:
    explicit KeyBindingsView(QWidget *parent = nullptr);

    // `source` names what the map was read from: "the start-up order of C:\...";
    // `folder` is where Save as Picture starts.
    void setMap(const BindMap &map, const QString &source, const QString &folder = {});
    KeyboardPicture &picture() const { return *m_picture; }
    // "What this key does", under the picture.
    KeyTracePane &trace() const { return *m_trace; }

    // Writes the picture, with its title, legend and source, as a PNG file;
    // false with the reason shown.
    bool savePicture(const QString &path);
    // What Save as Picture writes.
    QImage fullPicture() const;
    // Where Save as Picture proposes to write.
    QString proposedPath() const;

    // Offers "Bind this key..." for a key nothing binds; asks what it is to run.
    void offerBind(const QString &keyName);

signals:
    void bindChosen(const QString &path, int line);
    // The player chose a command for a free key.
    void bindRequested(const QString &keyName, const QString &command);

private:
    void saveAs();

    KeyboardPicture *m_picture = nullptr;
    QWidget *m_legend = nullptr;
    KeyTracePane *m_trace = nullptr;
    QLabel *m_source = nullptr;
    QString m_folder;
};
