#pragma once

#include "completion/BindMap.h"

#include <QAbstractButton>
#include <QList>
#include <QWidget>

// One key of the picture: its label, coloured by the kind of command it
// runs, marked when bound more than once; a plain face when free.
class KeyCap : public QAbstractButton
{
    Q_OBJECT

public:
    // `keyName` is the game's name (empty for a key the game cannot bind),
    // `face` what the keyboard prints on it; x, y, w, h in key widths.
    KeyCap(const QString &keyName, const QString &face, QRectF place, QWidget *parent);

    const QString &keyName() const { return m_keyName; }
    const QString &face() const { return m_face; }
    QRectF place() const { return m_place; }
    // What the map says of this key; null when nothing binds it.
    void setKey(const BindMap::Key *key);
    const BindMap::Key *key() const { return m_key.binds.isEmpty() ? nullptr : &m_key; }

    static QColor colourOf(BindMap::Kind kind);
    // The lines `text` is drawn in within `box`; `font` comes back at the size used.
    static QStringList fitted(const QString &text, QFont &font, QSizeF box);
    static QString kindName(BindMap::Kind kind);

signals:
    void doubleClicked();
    // An arrow key asks for the neighbouring key in its direction.
    void moveWanted(int key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_keyName;
    QString m_face;
    QRectF m_place;
    BindMap::Key m_key;
};

// A full US keyboard with its function keys, navigation block and keypad,
// and a mouse with its buttons and wheel, each key showing its bind.
class KeyboardPicture : public QWidget
{
    Q_OBJECT

public:
    explicit KeyboardPicture(QWidget *parent = nullptr);

    void setMap(const BindMap &map);
    const QList<KeyCap *> &caps() const { return m_caps; }
    // The cap for a game key name, or null.
    KeyCap *cap(const QString &keyName) const;

    QSize sizeHint() const override;

    // Selects a key as a click does.
    void select(const QString &keyName);

signals:
    // A bound key was double-clicked (or Enter pressed on it): the bind in force, or the last one.
    void bindChosen(const QString &path, int line);
    // A key nothing binds was clicked.
    void freeKeyChosen(const QString &keyName);
    // A key was selected by a click, the arrow keys or assistive technology.
    void keySelected(const QString &keyName);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void add(const QString &keyName, const QString &face, qreal x, qreal y, qreal w = 1, qreal h = 1);
    void layOut();
    void move(KeyCap *from, int key);

    QList<KeyCap *> m_caps;
};
