#include "gui/config/KeyBindingsView.h"

#include "gui/config/KeyboardPicture.h"
#include "gui/console/KeyTracePane.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QCursor>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

KeyBindingsView::KeyBindingsView(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(tr("Key Bindings"));
    setObjectName(QStringLiteral("frmKeyBindings"));
    m_picture = new KeyboardPicture(this);
    connect(m_picture, &KeyboardPicture::bindChosen, this, &KeyBindingsView::bindChosen);
    connect(m_picture, &KeyboardPicture::freeKeyChosen, this, &KeyBindingsView::offerBind);

    m_legend = new QWidget(this);
    auto *legend = new QHBoxLayout(m_legend);
    legend->setContentsMargins(0, 0, 0, 0);
    for (const BindMap::Kind kind : {BindMap::Kind::Movement, BindMap::Kind::Weapons, BindMap::Kind::Communication,
                                     BindMap::Kind::Scripts, BindMap::Kind::Other}) {
        auto *swatch = new QLabel(KeyCap::kindName(kind), m_legend);
        swatch->setStyleSheet(QStringLiteral("QLabel { background: %1; color: black; border: 1px solid gray;"
                                             " border-radius: 3px; padding: 2px 8px; }")
                                  .arg(KeyCap::colourOf(kind).name()));
        legend->addWidget(swatch);
    }
    auto *conflict = new QLabel(tr("Red corner: bound to different commands"), m_legend);
    legend->addWidget(conflict);
    legend->addStretch();

    m_source = new QLabel(this);
    m_source->setWordWrap(true);
    auto *save = new QPushButton(tr("&Save as Picture..."), this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, &KeyBindingsView::saveAs);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picture, 1);
    layout->addWidget(m_legend);
    m_trace = new KeyTracePane(this);
    // The keys take the room the dock is given; the frames need a few lines.
    m_trace->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    m_trace->setMaximumHeight(m_trace->fontMetrics().lineSpacing() * 6 + 48);
    layout->addWidget(m_trace);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_source, 1);
    bottom->addWidget(save, 0, Qt::AlignBottom);
    layout->addLayout(bottom);
}

void KeyBindingsView::offerBind(const QString &keyName)
{
    QMenu menu(this);
    QAction *bind = menu.addAction(tr("&Bind this key..."));
    if (menu.exec(QCursor::pos()) != bind)
        return;
    bool ok = false;
    const QString command = QInputDialog::getText(this, tr("Bind this key"),
                                                  tr("What %1 is to run (a command, an alias or several with ;):").arg(keyName),
                                                  QLineEdit::Normal, QString(), &ok)
                                .trimmed();
    if (ok && !command.isEmpty())
        emit bindRequested(keyName, command);
}

void KeyBindingsView::setMap(const BindMap &map, const QString &source, const QString &folder)
{
    m_picture->setMap(map);
    m_source->setText(source);
    m_folder = folder;
}

// The picture as it is passed around: a title above the keys, the legend
// and where the binds come from below them.
QImage KeyBindingsView::fullPicture() const
{
    const QImage keys = m_picture->grab().toImage();
    const QImage legend = m_legend->grab().toImage();
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(font().pointSizeF() * 1.4);
    const QFontMetrics titleMetrics(titleFont);
    constexpr int Margin = 12;
    const int width = qMax(keys.width(), legend.width()) + 2 * Margin;
    const QRect sourceBox = fontMetrics().boundingRect(QRect(0, 0, width - 2 * Margin, 1000),
                                                       Qt::TextWordWrap, m_source->text());
    const int height = Margin + titleMetrics.height() + Margin + keys.height() + Margin + legend.height() + Margin
                       + sourceBox.height() + Margin;
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.setPen(palette().color(QPalette::WindowText));
    int y = Margin;
    painter.setFont(titleFont);
    painter.drawText(QRect(Margin, y, width - 2 * Margin, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     windowTitle());
    y += titleMetrics.height() + Margin;
    painter.drawImage(Margin, y, keys);
    y += keys.height() + Margin;
    painter.drawImage(Margin, y, legend);
    y += legend.height() + Margin;
    painter.setFont(font());
    painter.drawText(QRect(Margin, y, width - 2 * Margin, sourceBox.height()), Qt::TextWordWrap, m_source->text());
    return image;
}

QString KeyBindingsView::proposedPath() const
{
    const QString name = tr("key bindings.png");
    return m_folder.isEmpty() ? name : QDir(m_folder).filePath(name);
}

bool KeyBindingsView::savePicture(const QString &path)
{
    QImageWriter writer(path, "png");
    if (!writer.write(fullPicture())) {
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 could not be written: %2")
                                 .arg(QDir::toNativeSeparators(path), writer.errorString()));
        return false;
    }
    return true;
}

void KeyBindingsView::saveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save as Picture"), proposedPath(),
                                                      tr("PNG pictures (*.png)"));
    if (!path.isEmpty())
        savePicture(path);
}
