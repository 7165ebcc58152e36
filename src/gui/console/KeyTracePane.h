#pragma once

#include <QGroupBox>

class QLabel;
class QPushButton;
class QTextBrowser;

// "What this key does", under the Key Bindings picture: the selected key's
// press and release frame by frame, what each step changes, and warnings
// in plain words; "Press again" follows a toggle to its next state.
class KeyTracePane : public QGroupBox
{
    Q_OBJECT

public:
    explicit KeyTracePane(QWidget *parent = nullptr);

    // `frames` and `warnings` as KeyTraceText gives them.
    void setTrace(const QStringList &frames, const QStringList &warnings, bool canPressAgain);
    void clear();

signals:
    void pressAgain();

private:
    QTextBrowser *m_text = nullptr;
    QPushButton *m_again = nullptr;
};
