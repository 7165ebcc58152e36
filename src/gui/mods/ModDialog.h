#pragma once

#include <QDialog>
#include <QRect>

class QPushButton;

// What the mod store's dialogs share: positions given in twips, no button
// that Enter or Esc presses, hidden by their own buttons and kept, discarded
// when closed from the frame.
class ModDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ModDialog(QWidget *parent);

    static QRect twips(int left, int top, int width, int height);

protected:
    QPushButton *addButton(const char *text, const char *name, const QRect &geometry, QWidget *container = nullptr);
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
