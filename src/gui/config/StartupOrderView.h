#pragma once

#include <QDialog>

#include <memory>

class ConfigModel;
class QTreeWidget;

// View → Start-up Order: the files in the order the game runs them,
// indented by the file that execs each, with what each holds.
class StartupOrderView : public QDialog
{
    Q_OBJECT

public:
    explicit StartupOrderView(QWidget *parent = nullptr);

    void setModel(const std::shared_ptr<const ConfigModel> &model);

signals:
    void fileChosen(const QString &path);

private:
    QTreeWidget *m_tree = nullptr;
};
