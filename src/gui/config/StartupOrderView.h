#pragma once

#include <QDialog>

#include <memory>

class ConfigModel;
class QComboBox;
class QTreeWidget;

// View → Start-up Order: the files in the order the game runs them,
// indented by the file that execs each, with what each holds, and the
// engine the game folder runs on, which decides how they run.
class StartupOrderView : public QDialog
{
    Q_OBJECT

public:
    explicit StartupOrderView(QWidget *parent = nullptr);

    void setModel(const std::shared_ptr<const ConfigModel> &model);

signals:
    void fileChosen(const QString &path);
    // EngineProfile::id of the engine the player picked.
    void engineChosen(const QString &id);

private:
    QTreeWidget *m_tree = nullptr;
    QComboBox *m_engine = nullptr;
};
