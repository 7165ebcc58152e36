#pragma once

#include <QDialog>

class BindMap;
class KeyboardPicture;
class KeyTracePane;
class QLabel;

// View → Key Bindings: the keyboard picture with a legend of the kinds'
// colours, the files it was drawn from, and Save as Picture.
class KeyBindingsView : public QDialog
{
    Q_OBJECT

public:
    explicit KeyBindingsView(QWidget *parent = nullptr);

    // `source` names what the map was read from: "the start-up order of C:\...".
    void setMap(const BindMap &map, const QString &source);
    KeyboardPicture &picture() const { return *m_picture; }
    // "What this key does", under the picture.
    KeyTracePane &trace() const { return *m_trace; }

    // Writes the picture as a PNG file; false with the reason shown.
    bool savePicture(const QString &path);

signals:
    void bindChosen(const QString &path, int line);

private:
    void saveAs();

    KeyboardPicture *m_picture = nullptr;
    KeyTracePane *m_trace = nullptr;
    QLabel *m_source = nullptr;
};
