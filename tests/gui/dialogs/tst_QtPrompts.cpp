#include "gui/dialogs/QtPrompts.h"
#include "documents/Texts.h"

#include "FileHelpers.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

class tst_QtPrompts : public QObject
{
    Q_OBJECT

private slots:
    void fileDialogFilters_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("Config Files (*.cfg)") << 0 << QStringList{"a.cfg"};
        QTest::newRow("(*.txt)") << 4 << QStringList{"notes.txt"};
        QTest::newRow("All Files (*.*) includes names without a dot") << 6
                                                                      << QStringList{"a.cfg", "config", "notes.txt"};
    }
    void fileDialogFilters()
    {
        QFETCH(int, filter);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        for (const char *name : {"a.cfg", "config", "notes.txt"})
            writeAll(dir.filePath(QString::fromLatin1(name)), "x");
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDirectory(dir.path());
        QtPrompts::setFileFilters(dialog, Texts::fileDialogFilters());
        auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QCOMPARE(types->currentIndex(), 0);

        types->setCurrentIndex(filter);
        emit types->activated(filter);
        auto *model = dialog.findChild<QFileSystemModel *>();
        const QModelIndex root = model->index(dir.path());
        auto shown = [&] {
            QStringList names;
            for (int row = 0; row < model->rowCount(root); ++row)
                names << model->index(row, 0, root).data().toString();
            names.sort();
            return names;
        };
        QTRY_COMPARE(shown(), listed);
    }

};

QTEST_MAIN(tst_QtPrompts)
#include "tst_QtPrompts.moc"
