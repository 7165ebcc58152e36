#include "gui/mods/ModDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace {

constexpr double TwipsPerPixel = 15.0;

int pixels(int twips)
{
    return qRound(twips / TwipsPerPixel);
}

} // namespace

ModDialog::ModDialog(QWidget *parent) : QDialog(parent)
{
    QFont formFont(QStringLiteral("Arial"));
    formFont.setPointSizeF(8.25);
    setFont(formFont);
}

QRect ModDialog::twips(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

QPushButton *ModDialog::addButton(const char *text, const char *name, const QRect &geometry, QWidget *container)
{
    auto *button = new QPushButton(QString::fromLatin1(text), container ? container : this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(geometry);
    return button;
}

void ModDialog::closeEvent(QCloseEvent *event)
{
    event->accept();
    deleteLater();
}

// Enter and Esc press no button and leave the dialog open.
void ModDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
