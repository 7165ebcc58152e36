#pragma once

#include <QDialog>

class BindMap;
class KeyboardPicture;
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

    // Writes the picture as a PNG file; false with the reason shown.
    bool savePicture(const QString &path);

signals:
    void bindChosen(const QString &path, int line);

private:
    void saveAs();

    KeyboardPicture *m_picture = nullptr;
    QLabel *m_source = nullptr;
};
