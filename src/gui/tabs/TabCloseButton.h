#pragma once

#include <QAbstractButton>

// The close button of the tab in front, drawn as the style draws a tab's
// own. One button that moves with the current tab: a button on every tab
// made the bar cost more to lay out and paint with each tab opened.
class TabCloseButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit TabCloseButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
