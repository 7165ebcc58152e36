#pragma once

#include <QDockWidget>

#include <memory>

class ConfigModel;
class QLabel;
class QTreeWidget;

// View → Problems: each problem of the configuration with its file, line
// and message; choosing one goes there.
class ProblemsPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit ProblemsPanel(QWidget *parent = nullptr);

    // The latest analysis, or none; `notice` is shown above the list.
    void setModel(const std::shared_ptr<const ConfigModel> &model, const QString &notice);

signals:
    // `line` counts from 0.
    void problemChosen(const QString &path, int line);

private:
    QLabel *m_notice = nullptr;
    QTreeWidget *m_list = nullptr;
};
