#pragma once

#include "backups/LineDiff.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

// Shows how the file in the mod folder differs from the backup version a
// restore would put there, side by side or unified, with the changed lines
// coloured, and asks whether to go ahead.
class frmDiff : public QDialog
{
    Q_OBJECT

public:
    frmDiff(const QString &question, const QString &currentTitle, const QString &current,
            const QString &versionTitle, const QString &version, QWidget *parent = nullptr);

    // The text each view shows, line by line, for tests.
    QString unifiedText() const;
    QStringList sideTexts() const;

    void optSideBySide_Click();
    void optUnified_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillUnified();
    void fillSideBySide();

    QList<LineDiff::Line> m_lines;
    bool m_shownFirstChange = false;
    QLabel *lblQuestion = nullptr;
    QLabel *lblSummary = nullptr;
    QRadioButton *optSideBySide = nullptr;
    QRadioButton *optUnified = nullptr;
    QStackedWidget *views = nullptr;
    QLabel *lblLeft = nullptr;
    QLabel *lblRight = nullptr;
    QPlainTextEdit *txtLeft = nullptr;
    QPlainTextEdit *txtRight = nullptr;
    QPlainTextEdit *txtUnified = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdCancel = nullptr;
};
