#include "gui/window/MainControls.h"

#include "catalogue/QuickSearchNames.h"
#include "documents/Texts.h"
#include "gui/config/HintLine.h"
#include "gui/window/ToolPicture.h"
#include "gui/window/ToolPictures.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int HintTop = 33;
constexpr int HintHeight = 16;

ToolPicture *addPicture(QWidget &client, const QPixmap &picture, const char *toolTip, const QString &accessibleName,
                        const char *name, const QRect &geometry)
{
    auto *tool = new ToolPicture(picture, QString::fromLatin1(toolTip), accessibleName, &client);
    tool->setObjectName(QString::fromLatin1(name));
    tool->setGeometry(geometry);
    return tool;
}

} // namespace

MainControls MainControls::create(QWidget &client)
{
    MainControls c;
    c.picSave = addPicture(client, ToolPictures::diskette(), Texts::SaveTip, QObject::tr("Save"), "picSave",
                           QRect(3, 3, 26, 25));
    c.Picture1 = addPicture(client, ToolPictures::openingFolder(), Texts::OpenTip, QObject::tr("Open"), "Picture1",
                            QRect(31, 3, 26, 25));
    c.picUndo = addPicture(client, ToolPictures::undoArrow(), Texts::UndoTip, QObject::tr("Undo"), "picUndo",
                           QRect(76, 3, 26, 25));
    c.picRedo = addPicture(client, ToolPictures::redoArrow(), Texts::RedoTip, QObject::tr("Redo"), "picRedo",
                           QRect(104, 3, 26, 25));

    c.lblSearch = new QLabel(QString::fromLatin1(Texts::SearchLabel), &client);
    c.lblSearch->setObjectName(QStringLiteral("lblSearch"));
    c.lblSearch->setGeometry(169, 8, 73, 17);

    QComboBox *search = c.cboSearch = new QComboBox(&client);
    search->setObjectName(QStringLiteral("cboSearch"));
    search->setEditable(true);
    search->setInsertPolicy(QComboBox::NoInsert);
    // The box's own completer would search for a completed name at once;
    // completion from the catalogue is put on its text field (Form_Load).
    search->setCompleter(nullptr);
    // The box picks a typed name of its list when its text field loses the
    // focus: Enter's search would run a second time.
    QObject::disconnect(search->lineEdit(), &QLineEdit::editingFinished, search, nullptr);
    search->addItems(QuickSearchNames());
    search->setCurrentIndex(-1);
    search->setEditText(QString());
    search->setToolTip(QString::fromLatin1(Texts::SearchTip));
    search->setAccessibleName(QObject::tr("Quick Search"));
    search->setGeometry(240, 5, 153, search->sizeHint().height());
    c.lblSearch->setBuddy(search);

    HintLine *hint = c.lblHint = new HintLine(&client);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setFrameStyle(QFrame::Box | QFrame::Plain);
    hint->setLineWidth(1);
    // A word reaching back over line breaks shows its first line.
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setAutoFillBackground(true);
    followTooltipColours(*hint);
    hint->setAccessibleDescription(QObject::tr("Explains the command being typed"));
    // Tall enough for the font's descenders at any scale: "cl_dlmax" keeps its underscore.
    const int hintHeight = qMax(HintHeight, hint->lineHeight());
    hint->setGeometry(0, HintTop, 404, hintHeight);
    c.editTop = HintTop + hintHeight - 1;
    return c;
}

void MainControls::followTooltipColours(QLabel &hint)
{
    const QPalette theme = QApplication::palette(&hint);
    QPalette hintColours = hint.palette();
    hintColours.setColor(QPalette::Window, theme.color(QPalette::ToolTipBase));
    hintColours.setColor(QPalette::WindowText, theme.color(QPalette::ToolTipText));
    hint.setPalette(hintColours);
}

QIcon MainControls::programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 128})
        icon.addFile(QStringLiteral(":/icons/tessary-%1.png").arg(size), QSize(size, size));
    return icon;
}

void MainControls::completeNames(QComboBox &search, const QStringList &names, std::function<void()> enter)
{
    auto *completer = new QCompleter(names, &search);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    search.lineEdit()->setCompleter(completer);
    // With the list open the key goes to the list, which hands it to the
    // text field past the window's filter: the field's own signal carries
    // it, with the text the arrows or the mouse moved to.
    completer->popup()->setMouseTracking(true);
    QObject::connect(completer->popup(), &QAbstractItemView::entered, completer->popup(),
                     &QAbstractItemView::setCurrentIndex);
    QObject::connect(search.lineEdit(), &QLineEdit::returnPressed, &search, [&search, enter = std::move(enter)] {
        // After the list has closed and put its pick into the field.
        QMetaObject::invokeMethod(&search, enter, Qt::QueuedConnection);
    });
}
