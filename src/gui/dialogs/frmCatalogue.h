#pragma once

#include <QDialog>
#include <QHash>
#include <QStringList>

class QCheckBox;

// Settings → Catalogue: one box per catalogue family; a family left
// unticked is neither hinted nor coloured and its names count as unknown.
class frmCatalogue : public QDialog
{
    Q_OBJECT

public:
    // `entries` gives the number of entries of each family id.
    frmCatalogue(const QStringList &familiesOff, const QHash<QString, int> &entries, QWidget *parent = nullptr);

    // The ids of the families left unticked.
    QStringList familiesOff() const;

private:
    QList<QCheckBox *> m_boxes;
};
