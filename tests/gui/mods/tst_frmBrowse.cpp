#include "core/store/FakeModPrompts.h"

#include "gui/mods/frmBrowse.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_frmBrowse : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeModPrompts m_prompts;
    std::unique_ptr<QLineEdit> m_target;
    std::unique_ptr<frmBrowse> m_frm;

    QLineEdit *txtPath() const { return m_frm->findChild<QLineEdit *>("txtPath"); }
    QString sub(const QString &name) const { return QDir(m_dir->path()).canonicalPath() + "/" + name; }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(sub("a/b")));
        QVERIFY(QDir::setCurrent(sub("a")));
        m_prompts = FakeModPrompts();
        m_target = std::make_unique<QLineEdit>();
        m_frm = std::make_unique<frmBrowse>(m_target.get(), m_prompts);
        m_frm->show();
    }

    void cleanup() { m_frm.reset(); }

    void listHasTheFocus() { QCOMPARE(m_frm->focusWidget()->objectName(), QString("dirPath")); }

    // The list follows every existing folder typed; "Ok" hands back the
    // text, "Cancel" nothing.
    void typedPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("listed"); // the list's folder after typing, relative to the temp folder
        QTest::addColumn<QString>("handedBack");
        QTest::newRow("existing folder") << "a/b" << "a/b" << "a/b";
        QTest::newRow("missing folder") << "a/none" << "a" << "a/none";
        QTest::newRow("cancelled") << "a/b" << "a/b" << QString();
    }
    void typedPath()
    {
        QFETCH(QString, typed);
        QFETCH(QString, listed);
        QFETCH(QString, handedBack);
        QCOMPARE(txtPath()->text(), sub("a"));
        txtPath()->clear();
        QTest::keyClicks(txtPath(), sub(typed));
        QCOMPARE(m_frm->path(), sub(listed));
        m_frm->findChild<QPushButton *>(handedBack.isEmpty() ? "cmdCancel" : "cmdOk")->click();
        QCOMPARE(m_target->text(), handedBack.isEmpty() ? QString() : sub(handedBack));
        QVERIFY(!m_frm->isVisible());
        m_frm->show(); // kept while hidden
        QCOMPARE(m_frm->path(), sub(listed));
    }

    void createFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("made");
        QTest::addColumn<int>("errors");
        QTest::newRow("new name") << "new" << true << 0;
        QTest::newRow("existing") << "b" << false << 1;
    }

    void createFolder()
    {
        QFETCH(QString, name);
        QFETCH(bool, made);
        QFETCH(int, errors);
        m_prompts.typed = name;
        m_frm->cmdNewfolder_Click();
        QCOMPARE(m_prompts.errors.size(), errors);
        QCOMPARE(m_frm->path(), sub("a"));
        QCOMPARE(txtPath()->text(), sub("a"));
        if (made)
            QVERIFY(QFileInfo(sub("a/" + name)).isDir());
    }
};

QTEST_MAIN(tst_frmBrowse)
#include "tst_frmBrowse.moc"
