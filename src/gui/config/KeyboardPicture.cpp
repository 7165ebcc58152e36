#include "gui/config/KeyboardPicture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal Columns = 27.5; // key widths, the mouse included
constexpr qreal Rows = 6.5;
constexpr int KeyPixels = 44;

QString accessibleText(const QString &face, const BindMap::Key *key, bool bindable)
{
    if (!bindable)
        return QObject::tr("%1: the game cannot bind this key").arg(face);
    QString text = BindMap::describe(face, key);
    if (key && key->conflict())
        text += QObject::tr(", bound %1 times").arg(std::count_if(key->binds.begin(), key->binds.end(),
                                                                  [](const BindMap::Bind &b) { return !b.unbind; }));
    return text;
}

void drawFitted(QPainter &p, const QRectF &box, const QString &text, QFont font, Qt::Alignment align)
{
    const QStringList lines = KeyCap::fitted(text, font, box.size());
    p.setFont(font);
    const qreal height = QFontMetricsF(font).height();
    const qreal top = (align & Qt::AlignBottom) ? box.bottom() - lines.size() * height : box.top();
    for (qsizetype i = 0; i < lines.size(); ++i)
        p.drawText(QRectF(box.left(), top + i * height, box.width(), height),
                   (align & Qt::AlignHorizontal_Mask) | Qt::AlignTop, lines[i]);
}

} // namespace

KeyCap::KeyCap(const QString &keyName, const QString &face, QRectF place, QWidget *parent)
    : QAbstractButton(parent), m_keyName(keyName), m_face(face), m_place(place)
{
    setObjectName(QStringLiteral("key_") + (keyName.isEmpty() ? face : keyName));
    setEnabled(!keyName.isEmpty());
    setFocusPolicy(keyName.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    setCheckable(!keyName.isEmpty());
    setAutoExclusive(true);
    setKey(nullptr);
}

void KeyCap::setKey(const BindMap::Key *key)
{
    m_key = key ? *key : BindMap::Key{};
    // Named by the key, with what it runs as its description.
    setAccessibleName(m_face);
    setAccessibleDescription(accessibleText(m_face, key, !m_keyName.isEmpty()));
    QString tip;
    if (key && !key->binds.isEmpty()) {
        tip = m_face + u'\n';
        tip += key->conflict() || key->isFree() ? BindMap::history(*key)
                                                : BindMap::describe(m_face, key).section(u':', 1).trimmed();
    }
    setToolTip(tip);
    update();
}

// Smaller down to a readable size first, then not bold, then on two lines
// (broken after "_", "+", "-" or a space where it can, else in halves), and
// cut only when even that is too long; the tooltip has the text whole.
QStringList KeyCap::fitted(const QString &text, QFont &font, QSizeF box)
{
    constexpr qreal Smallest = 6.0;
    const qreal start = font.pointSizeF();
    for (qreal size = start; size >= qMin(start, Smallest); size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetricsF(font).horizontalAdvance(text) <= box.width())
            return {text};
    }
    if (font.bold()) { // a plain face before a broken word
        QFont plain = font;
        plain.setBold(false);
        if (QFontMetricsF(plain).horizontalAdvance(text) <= box.width()) {
            font = plain;
            return {text};
        }
    }
    const QFontMetricsF metrics(font);
    if (2 * metrics.height() > box.height() + 1 || text.size() < 2)
        return {metrics.elidedText(text, Qt::ElideRight, box.width())};
    qsizetype cut = -1;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i - 1];
        if ((c == u'_' || c == u'+' || c == u'-' || c == u' ') && metrics.horizontalAdvance(text.left(i)) <= box.width())
            cut = i;
    }
    if (cut < 0) { // halves, not a word and its last letter
        cut = (text.size() + 1) / 2;
        while (cut > 1 && metrics.horizontalAdvance(text.left(cut)) > box.width())
            --cut;
    }
    return {text.left(cut).trimmed(), metrics.elidedText(text.mid(cut).trimmed(), Qt::ElideRight, box.width())};
}

QColor KeyCap::colourOf(BindMap::Kind kind)
{
    switch (kind) {
    case BindMap::Kind::Movement:
        return QColor(0x9c, 0xc3, 0xe6);
    case BindMap::Kind::Weapons:
        return QColor(0xf0, 0xa0, 0x90);
    case BindMap::Kind::Communication:
        return QColor(0xa8, 0xd8, 0x9a);
    case BindMap::Kind::Scripts:
        return QColor(0xc9, 0xb0, 0xe8);
    case BindMap::Kind::Other:
        break;
    }
    return QColor(0xf2, 0xd3, 0x8a);
}

QString KeyCap::kindName(BindMap::Kind kind)
{
    switch (kind) {
    case BindMap::Kind::Movement:
        return tr("Movement");
    case BindMap::Kind::Weapons:
        return tr("Weapons");
    case BindMap::Kind::Communication:
        return tr("Communication");
    case BindMap::Kind::Scripts:
        return tr("Scripts (aliases)");
    case BindMap::Kind::Other:
        break;
    }
    return tr("Other");
}

void KeyCap::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const bool bound = key() && !m_key.isFree();
    QColor fill = !isEnabled() ? palette().color(QPalette::Window)
                  : bound      ? colourOf(m_key.kind)
                               : palette().color(QPalette::Base);
    if (isDown() || underMouse())
        fill = fill.darker(110);
    const bool marked = hasFocus() || isChecked();
    const QColor edge = palette().color(marked ? QPalette::Highlight : QPalette::Mid);
    p.setPen(QPen(edge, isChecked() ? 3 : hasFocus() ? 2 : 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, 4, 4);

    QFont small = font();
    small.setPointSizeF(qMax(5.0, font().pointSizeF() * 0.75));
    p.setPen(palette().color(isEnabled() ? QPalette::Text : QPalette::PlaceholderText));
    const QRectF inner = r.adjusted(3, 1, -3, -1);
    const qreal faceHeight = QFontMetricsF(small).height();
    drawFitted(p, QRectF(inner.left(), inner.top(), inner.width(), faceHeight), m_face, small,
               Qt::AlignLeft | Qt::AlignTop);
    if (bound) {
        QFont bold = small;
        bold.setBold(true);
        drawFitted(p, inner.adjusted(0, faceHeight, 0, 0), m_key.label, bold, Qt::AlignHCenter | Qt::AlignBottom);
    }
    if (m_key.conflict()) {
        // A red corner: bound more than once in the start-up order.
        const qreal s = qMin(r.width(), r.height()) * 0.35;
        QPainterPath corner;
        corner.moveTo(r.right() - s, r.top());
        corner.lineTo(r.right() - 4, r.top());
        corner.quadTo(r.right(), r.top(), r.right(), r.top() + 4);
        corner.lineTo(r.right(), r.top() + s);
        corner.closeSubpath();
        p.fillPath(corner, QColor(0xc0, 0x20, 0x20));
    }
}

KeyboardPicture::KeyboardPicture(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(tr("Keyboard and mouse with their binds"));
    // Function row.
    add("ESCAPE", "Esc", 0, 0);
    for (int i = 1; i <= 12; ++i) {
        const qreal x = 2 + (i - 1) + ((i - 1) / 4) * 0.5;
        add(QStringLiteral("F%1").arg(i), QStringLiteral("F%1").arg(i), x, 0);
    }
    add("", "PrtSc", 15.25, 0);
    add("SCROLLOCK", "ScrLk", 16.25, 0);
    add("PAUSE", "Pause", 17.25, 0);
    // Number row.
    const QString numbers = QStringLiteral("`1234567890-=");
    for (int i = 0; i < numbers.size(); ++i)
        add(numbers.mid(i, 1), numbers.mid(i, 1), i, 1.25);
    add("BACKSPACE", "Backspace", 13, 1.25, 2);
    // Letter rows: the game names a letter key by its lower-case letter.
    add("TAB", "Tab", 0, 2.25, 1.5);
    const QString top = QStringLiteral("qwertyuiop[]\\");
    for (int i = 0; i < top.size(); ++i)
        add(top.mid(i, 1), top.mid(i, 1).toUpper(), 1.5 + i, 2.25, i == top.size() - 1 ? 1.5 : 1);
    add("CAPSLOCK", "Caps Lock", 0, 3.25, 1.75);
    const QString home = QStringLiteral("asdfghjkl;'");
    for (int i = 0; i < home.size(); ++i) {
        const QString c = home.mid(i, 1);
        // ';' ends a command, so the game names that key SEMICOLON.
        add(c == u";" ? QStringLiteral("SEMICOLON") : c, c.toUpper(), 1.75 + i, 3.25);
    }
    add("ENTER", "Enter", 12.75, 3.25, 2.25);
    add("SHIFT", "Shift", 0, 4.25, 2.25);
    const QString bottom = QStringLiteral("zxcvbnm,./");
    for (int i = 0; i < bottom.size(); ++i)
        add(bottom.mid(i, 1), bottom.mid(i, 1).toUpper(), 2.25 + i, 4.25);
    add("SHIFT", "Shift ", 12.25, 4.25, 2.75);
    add("CTRL", "Ctrl", 0, 5.25, 1.5);
    add("", "Win", 1.5, 5.25, 1.25);
    add("ALT", "Alt", 2.75, 5.25, 1.25);
    add("SPACE", "Space", 4, 5.25, 6.5);
    add("ALT", "Alt ", 10.5, 5.25, 1.25);
    add("", "Menu", 11.75, 5.25, 1.25);
    add("CTRL", "Ctrl ", 13, 5.25, 2);
    // Navigation block.
    add("INS", "Ins", 15.25, 1.25);
    add("HOME", "Home", 16.25, 1.25);
    add("PGUP", "PgUp", 17.25, 1.25);
    add("DEL", "Del", 15.25, 2.25);
    add("END", "End", 16.25, 2.25);
    add("PGDN", "PgDn", 17.25, 2.25);
    add("UPARROW", "\u2191", 16.25, 4.25);
    add("LEFTARROW", "\u2190", 15.25, 5.25);
    add("DOWNARROW", "\u2193", 16.25, 5.25);
    add("RIGHTARROW", "\u2192", 17.25, 5.25);
    // Keypad.
    add("", "Num", 18.5, 1.25);
    add("KP_SLASH", "/", 19.5, 1.25);
    add("*", "*", 20.5, 1.25);
    add("KP_MINUS", "-", 21.5, 1.25);
    add("KP_HOME", "7", 18.5, 2.25);
    add("KP_UPARROW", "8", 19.5, 2.25);
    add("KP_PGUP", "9", 20.5, 2.25);
    add("KP_PLUS", "+", 21.5, 2.25, 1, 2);
    add("KP_LEFTARROW", "4", 18.5, 3.25);
    add("KP_5", "5", 19.5, 3.25);
    add("KP_RIGHTARROW", "6", 20.5, 3.25);
    add("KP_END", "1", 18.5, 4.25);
    add("KP_DOWNARROW", "2", 19.5, 4.25);
    add("KP_PGDN", "3", 20.5, 4.25);
    add("KP_ENTER", "Enter", 21.5, 4.25, 1, 2);
    add("KP_INS", "0", 18.5, 5.25, 2);
    add("KP_DEL", ".", 20.5, 5.25);
    // Mouse: two buttons, the wheel between them, two side buttons.
    add("MOUSE1", "Mouse 1", 23, 1.25, 1.5, 3);
    add("MWHEELUP", "Wheel up", 24.5, 1.25, 1.5, 1);
    add("MOUSE3", "Mouse 3", 24.5, 2.25, 1.5, 1);
    add("MWHEELDOWN", "Wheel down", 24.5, 3.25, 1.5, 1);
    add("MOUSE2", "Mouse 2", 26, 1.25, 1.5, 3);
    add("MOUSE4", "Mouse 4", 23, 4.5, 1.5);
    add("MOUSE5", "Mouse 5", 24.5, 4.5, 1.5);
    for (KeyCap *cap : std::as_const(m_caps)) {
        connect(cap, &KeyCap::doubleClicked, this, [this, cap] {
            const BindMap::Key *key = cap->key();
            if (!key) {
                emit freeKeyChosen(cap->keyName());
                return;
            }
            const BindMap::Bind &bind = key->binds[key->isFree() ? key->binds.size() - 1 : key->winner];
            emit bindChosen(bind.path, bind.line);
        });
        connect(cap, &QAbstractButton::toggled, this, [this, cap](bool on) {
            if (on)
                emit keySelected(cap->keyName());
        });
        connect(cap, &KeyCap::moveWanted, this, [this, cap](int key) { move(cap, key); });
    }
    setMinimumSize(int(Columns * 24), int(Rows * 24));
}

void KeyboardPicture::add(const QString &keyName, const QString &face, qreal x, qreal y, qreal w, qreal h)
{
    m_caps.append(new KeyCap(keyName, face.trimmed(), QRectF(x, y, w, h), this));
}

void KeyCap::mouseDoubleClickEvent(QMouseEvent *event)
{
    QAbstractButton::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void KeyCap::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit moveWanted(event->key());
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit doubleClicked();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void KeyboardPicture::select(const QString &keyName)
{
    if (KeyCap *c = cap(keyName)) {
        c->setChecked(true);
        c->setFocus();
    }
}

// The nearest bindable key whose centre lies that way.
void KeyboardPicture::move(KeyCap *from, int key)
{
    const QPointF at = from->place().center();
    KeyCap *best = nullptr;
    qreal bestScore = 1e9;
    for (KeyCap *c : std::as_const(m_caps)) {
        if (c == from || c->keyName().isEmpty())
            continue;
        const QPointF d = c->place().center() - at;
        const qreal along = key == Qt::Key_Left ? -d.x() : key == Qt::Key_Right ? d.x() : key == Qt::Key_Up ? -d.y() : d.y();
        const qreal across = key == Qt::Key_Left || key == Qt::Key_Right ? std::abs(d.y()) : std::abs(d.x());
        if (along <= 0.1)
            continue;
        const qreal score = along + 3 * across;
        if (score < bestScore) {
            bestScore = score;
            best = c;
        }
    }
    if (best) {
        best->setFocus();
        best->setChecked(true);
    }
}

KeyCap *KeyboardPicture::cap(const QString &keyName) const
{
    for (KeyCap *c : m_caps) {
        if (c->keyName() == keyName)
            return c;
    }
    return nullptr;
}

void KeyboardPicture::setMap(const BindMap &map)
{
    for (KeyCap *c : std::as_const(m_caps)) {
        if (c->keyName().isEmpty())
            continue;
        const BindMap::Key *key = map.key(c->keyName());
        // A letter bound by its capital alone still shows on its key.
        if (!key && c->keyName().size() == 1)
            key = map.key(c->keyName().toUpper());
        c->setKey(key);
    }
}

QSize KeyboardPicture::sizeHint() const
{
    return QSize(int(Columns * KeyPixels), int(Rows * KeyPixels));
}

void KeyboardPicture::resizeEvent(QResizeEvent *)
{
    layOut();
}

void KeyboardPicture::layOut()
{
    const qreal unit = qMin(width() / Columns, height() / Rows);
    for (KeyCap *c : std::as_const(m_caps)) {
        const QRectF p = c->place();
        c->setGeometry(QRectF(p.x() * unit, p.y() * unit, p.width() * unit, p.height() * unit).toRect());
    }
}
