#include "gui/config/KeyBindingsView.h"

#include "gui/config/KeyboardPicture.h"
#include "gui/console/KeyTracePane.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

KeyBindingsView::KeyBindingsView(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Key Bindings"));
    setObjectName(QStringLiteral("frmKeyBindings"));
    m_picture = new KeyboardPicture(this);
    connect(m_picture, &KeyboardPicture::bindChosen, this, &KeyBindingsView::bindChosen);

    auto *legend = new QHBoxLayout;
    for (const BindMap::Kind kind : {BindMap::Kind::Movement, BindMap::Kind::Weapons, BindMap::Kind::Communication,
                                     BindMap::Kind::Scripts, BindMap::Kind::Other}) {
        auto *swatch = new QLabel(KeyCap::kindName(kind), this);
        swatch->setStyleSheet(QStringLiteral("QLabel { background: %1; color: black; border: 1px solid gray;"
                                             " border-radius: 3px; padding: 2px 8px; }")
                                  .arg(KeyCap::colourOf(kind).name()));
        legend->addWidget(swatch);
    }
    auto *conflict = new QLabel(tr("Red corner: bound more than once"), this);
    legend->addWidget(conflict);
    legend->addStretch();

    m_source = new QLabel(this);
    m_source->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *save = buttons->addButton(tr("&Save as Picture..."), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, &KeyBindingsView::saveAs);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picture, 1);
    layout->addLayout(legend);
    m_trace = new KeyTracePane(this);
    layout->addWidget(m_trace, 1);
    layout->addWidget(m_source);
    layout->addWidget(buttons);
    resize(m_picture->sizeHint() + QSize(24, 330));
}

void KeyBindingsView::setMap(const BindMap &map, const QString &source)
{
    m_picture->setMap(map);
    m_source->setText(source);
}

bool KeyBindingsView::savePicture(const QString &path)
{
    QImageWriter writer(path, "png");
    if (!writer.write(m_picture->grab().toImage())) {
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 could not be written: %2")
                                 .arg(QDir::toNativeSeparators(path), writer.errorString()));
        return false;
    }
    return true;
}

void KeyBindingsView::saveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save as Picture"), tr("key bindings.png"),
                                                      tr("PNG pictures (*.png)"));
    if (!path.isEmpty())
        savePicture(path);
}
