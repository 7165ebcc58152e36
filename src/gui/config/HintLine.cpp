#include "gui/config/HintLine.h"

#include <QFontMetrics>

namespace {

// No more of a hint than a screen can show is laid out.
constexpr int ShownChars = 2000;

} // namespace

HintLine::HintLine(QWidget *parent) : QLabel(parent)
{
    // Words from the document must never be read as markup.
    setTextFormat(Qt::PlainText);
}

void HintLine::setHint(const QString &caption, const QString &startup)
{
    m_caption = caption;
    m_startup = startup;
    fit();
}

int HintLine::lineHeight() const
{
    // A font drawn in place of a missing one (Arial) can sit a pixel or two
    // lower than its metrics say, and an underscore lies at the descent's
    // bottom: room for one more descent keeps "fps_max" from reading "fps max".
    const QFontMetrics metrics = fontMetrics();
    return qMax(metrics.height(), metrics.lineSpacing()) + metrics.descent() + 2 + 2 * frameWidth();
}

void HintLine::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}

void HintLine::fit()
{
    const QString both = m_startup.isEmpty()   ? m_caption
                         : m_caption.isEmpty() ? m_startup
                                               : m_caption + u' ' + m_startup;
    const QFontMetrics metrics = fontMetrics();
    // A label with a frame indents its text by half an "x" unless told otherwise.
    const int indentation = indent() >= 0 ? indent() : frameWidth() > 0 ? metrics.horizontalAdvance(u'x') / 2 : 0;
    const int room = contentsRect().width() - 2 * margin() - indentation;
    const bool bothFit = metrics.horizontalAdvance(both) <= room;
    setText((bothFit ? both : m_caption).left(ShownChars));
    const bool whole = bothFit && both.size() <= ShownChars;
    setToolTip(whole ? QString() : QStringLiteral("<p>%1</p>").arg(both.left(ShownChars).toHtmlEscaped()));
}
