#pragma once

#include <QDockWidget>
#include <QStringList>

#include <memory>

class ConfigModel;
class QIcon;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// View → Problems: the configuration's problems, errors first, then
// warnings, then notices, each with its mark, file, line and code; the uses
// of one unknown name under one line, collapsed. Choosing one goes there.
// The names the player declared fine are listed last, to take back.
class ProblemsPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit ProblemsPanel(QWidget *parent = nullptr);

    // The latest analysis, or none; `notice` is shown above the list;
    // `accepted` are the game folder's names declared fine.
    void setModel(const std::shared_ptr<const ConfigModel> &model, const QString &notice,
                  const QStringList &accepted = {});

signals:
    // `line` counts from 0.
    void problemChosen(const QString &path, int line);
    // "This name is fine", and taking it back.
    void nameAccepted(const QString &name);
    void nameRemoved(const QString &name);
    // A setting or bind a later file replaces: move its line to userconfig.cfg.
    void moveToUserconfig(const QString &path, int line);

private:
    void showMenu(const QPoint &at);
    // Lists the latest analysis; a hidden panel waits until it is shown.
    void fill();
    QTreeWidgetItem *problemItem(const ConfigModel &model, int index, const QIcon *icons) const;

    QLabel *m_notice = nullptr;
    QTreeWidget *m_list = nullptr;
    std::shared_ptr<const ConfigModel> m_model;
    QStringList m_accepted;
    bool m_filled = true;
};
