#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A picture that works as a tool button: a 24 x 23 drawing in a one-pixel
// frame. It takes the keyboard focus and Space presses it, like a button.
class ToolPicture : public QAbstractButton
{
    Q_OBJECT

public:
    ToolPicture(const QPixmap &picture, const QString &toolTip, const QString &accessibleName,
                QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
