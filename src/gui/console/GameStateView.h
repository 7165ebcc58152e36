#pragma once

#include <QDialog>

#include <memory>

class ConfigModel;
class KnownCommands;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// View → Game State: every variable, bind and alias as the start-up leaves
// them, with "Why this value" for the one selected; and the config.cfg the
// game will write when it quits, beside the present one with what it loses.
class GameStateView : public QDialog
{
    Q_OBJECT

public:
    explicit GameStateView(QWidget *parent = nullptr);

    void setModel(const std::shared_ptr<const ConfigModel> &model, const KnownCommands &known);
    // The second page: config.cfg after quitting.
    void showWrittenConfig();

signals:
    // A line of a file, where the value that won was set.
    void placeChosen(const QString &path, int line);

private:
    void fill();
    void filter(const QString &text);
    void explain(QTreeWidgetItem *item);
    void fillWritten(const KnownCommands &known);

    std::shared_ptr<const ConfigModel> m_model;
    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_filter = nullptr;
    QTreeWidget *m_tree = nullptr;
    QTextBrowser *m_why = nullptr;
    QPlainTextEdit *m_written = nullptr;
    QPlainTextEdit *m_present = nullptr;
    QLabel *m_lost = nullptr;
};
