#include "gui/console/KeyTracePane.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

KeyTracePane::KeyTracePane(QWidget *parent) : QGroupBox(tr("What this key does"), parent)
{
    setObjectName(QStringLiteral("fraKeyTrace"));
    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("txtKeyTrace"));
    m_text->setAccessibleName(tr("What the selected key does"));
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);
    m_again = new QPushButton(tr("Press &Again"), this);
    m_again->setObjectName(QStringLiteral("cmdPressAgain"));
    m_again->setToolTip(tr("What the key does the next time, after this press changed aliases or binds"));
    connect(m_again, &QPushButton::clicked, this, &KeyTracePane::pressAgain);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_again);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    clear();
}

void KeyTracePane::setTrace(const QStringList &frames, const QStringList &warnings, bool canPressAgain)
{
    QString html = QStringLiteral("<pre style=\"margin:0\">%1</pre>").arg(frames.join(u'\n').toHtmlEscaped());
    if (!warnings.isEmpty()) {
        html += QStringLiteral("<p><b>%1</b></p><ul>").arg(tr("Watch out:").toHtmlEscaped());
        for (const QString &w : warnings)
            html += QStringLiteral("<li>%1</li>").arg(w.toHtmlEscaped());
        html += QStringLiteral("</ul>");
    }
    m_text->setHtml(html);
    m_again->setEnabled(canPressAgain);
}

void KeyTracePane::clear()
{
    m_text->setPlainText(tr("Select a key in the picture (click it, or move with the arrow keys) to see what it runs "
                            "when pressed and let go, frame by frame."));
    m_again->setEnabled(false);
}
