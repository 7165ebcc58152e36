#pragma once

#include "desktop/FileTypes.h"

#include <QDialog>

class QCheckBox;

// Shows which file types "Associate With Files" will change, one box each;
// the game's own are ticked, the generic ones only when the user ticks them.
class FileTypeChooser : public QDialog
{
    Q_OBJECT

public:
    explicit FileTypeChooser(QWidget *parent = nullptr);

    QList<FileTypes::FileType> chosen() const;

private:
    QList<QCheckBox *> m_boxes;
};
