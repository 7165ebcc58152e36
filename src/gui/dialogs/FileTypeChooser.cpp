#include "gui/dialogs/FileTypeChooser.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FileTypeChooser::FileTypeChooser(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FileTypeChooser"));
    setWindowTitle(QStringLiteral("Associate With Files"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Make Tessary the default application for the ticked file types:"),
                                 this));
    for (const FileTypes::FileType &type : FileTypes::all()) {
        auto *box = new QCheckBox(QStringLiteral(".%1 - %2").arg(QString::fromLatin1(type.extension),
                                                                 QString::fromLatin1(type.description)),
                                  this);
        box->setObjectName(QStringLiteral("chk") + QString::fromLatin1(type.extension));
        box->setChecked(!type.generic);
        layout->addWidget(box);
        m_boxes << box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Associate"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QList<FileTypes::FileType> FileTypeChooser::chosen() const
{
    QList<FileTypes::FileType> types;
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        if (m_boxes[i]->isChecked())
            types << FileTypes::all()[i];
    return types;
}
