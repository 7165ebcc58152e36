#pragma once

#include <QTabBar>

class QAbstractButton;

// The bar of the window's tabs. One close button shows on the tab in front;
// every tab keeps room for it, so that bringing another tab forward only
// moves the button, where a button set on each tab in turn laid the whole
// bar out again twice at every switch and every opened file.
class DocumentTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit DocumentTabBar(QWidget *parent = nullptr);

    QAbstractButton &closeButton() const { return *m_close; }
    // Puts the close button on the tab in front (hidden without tabs).
    void placeCloseButton();

protected:
    QSize tabSizeHint(int index) const override;
    void initStyleOption(QStyleOptionTab *option, int tabIndex) const override;
    void tabLayoutChange() override;
    void paintEvent(QPaintEvent *event) override;

private:
    QAbstractButton *m_close = nullptr;
};
