#include "gui/tabs/DocumentTabs.h"

#include "documents/OpenDocuments.h"
#include "documents/Prompts.h"
#include "documents/RecoveryStore.h"
#include "documents/Texts.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/editbox/SyntaxColours.h"
#include "gui/tabs/DocumentTab.h"
#include "gui/tabs/TabsView.h"

#include <QApplication>
#include <QTimer>

#include <utility>

namespace {

// The recovery copy follows the last change after this pause in typing,
// and the first change not yet kept after at most the bound.
constexpr int RecoveryPauseMs = 3000;
constexpr int RecoveryBoundMs = 10000;

DocumentTab &tabOf(OpenDocument &document)
{
    return static_cast<DocumentTab &>(document);
}

} // namespace

DocumentTabs::DocumentTabs(QWidget &client, Clipboard &clipboard, const Catalogue &catalogue, Prompts &prompts,
                           Hooks hooks)
    : QObject(&client), m_client(client), m_clipboard(clipboard), m_catalogue(catalogue), m_prompts(prompts),
      m_hooks(std::move(hooks))
{
    m_recoveryClock.start();
    m_documents = std::make_unique<OpenDocuments>(m_prompts, [this] { return make(); });
    m_view = new TabsView(client, *m_documents, [this](int index) { m_hooks.close(index); });
    OpenDocuments::Views views;
    views.added = [this](OpenDocument &) { m_view->added(); };
    views.removing = [this](int index, OpenDocument &) { m_view->removing(index); };
    views.broughtForward = [this](OpenDocument &document, bool justRead) { bringForward(tabOf(document), justRead); };
    views.loaded = [](OpenDocument &document) {
        tabOf(document).colours->setSyntax(syntaxForPath(document.fileName()));
    };
    // Colours, recent files and title follow the name Save As gave.
    views.named = [this](OpenDocument &document) {
        if (&document == m_front)
            m_hooks.named(document.fileName());
    };
    views.labelsChanged = [this] {
        showLabels();
        layout();
    };
    // Written as it changes: after a kill the tabs still come back.
    views.sessionChanged = [this](const QStringList &, int) { m_hooks.sessionChanged(); };
    m_documents->setViews(std::move(views));
}

// The tabs' colours go while the boxes are whole: their event filters
// would otherwise see an edit box half destroyed.
DocumentTabs::~DocumentTabs()
{
    m_documents.reset();
}

int DocumentTabs::count() const
{
    return m_documents->count();
}

DocumentTab &DocumentTabs::at(int index) const
{
    return tabOf(m_documents->at(index));
}

std::vector<DocumentTab *> DocumentTabs::all() const
{
    std::vector<DocumentTab *> tabs;
    for (int i = 0; i < count(); ++i)
        tabs.push_back(&at(i));
    return tabs;
}

void DocumentTabs::setRecovery(RecoveryStore *store)
{
    m_recovery = store;
    m_documents->setRecoveryStore(store);
}

void DocumentTabs::start(int top, int width, int height)
{
    m_top = top;
    m_documents->start();
    m_front->box->setGeometry(0, top, width, height - top);
}

std::unique_ptr<OpenDocument> DocumentTabs::make()
{
    auto *box = new RichTextBox(m_clipboard, &m_client);
    box->setObjectName(QStringLiteral("txtMain"));
    if (m_front) {
        box->setFont(m_front->box->font());
        box->setGeometry(m_front->box->geometry());
    } else {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9.75);
        font.setWeight(QFont::Normal);
        box->setFont(font);
    }
    box->setAccessibleName(tr("Document"));
    box->setLineNumbersShown(m_lineNumbers);
    box->hide();
    auto owned = std::make_unique<DocumentTab>(*box, m_prompts, *this);
    DocumentTab &tab = *owned;
    tab.colours = new SyntaxColours(*box, m_catalogue, this);
    tab.undo = std::make_unique<clsUndo>();
    tab.undo->setWindowHooks({m_hooks.suspendPainting,
                              [](bool busy) {
                                  if (busy)
                                      QApplication::setOverrideCursor(Qt::WaitCursor);
                                  else
                                      QApplication::restoreOverrideCursor();
                              },
                              [&tab](const QString &text) { return tab.commands->pasteAccepted(text); }});
    tab.undo->setRichBox(box);
    tab.undo->Reset();
    // The history of a replaced text would write into the new one.
    tab.commands->setDocumentReplacedHandler([&tab] {
        tab.undo->Reset();
        // The same file opened again is coloured again.
        tab.colours->recolourAll();
    });
    connect(tab.undo.get(), &clsUndo::StateChanged, this, [this, &tab] {
        if (&tab == m_front)
            m_client.window()->setWindowModified(tab.box->isModified());
        if (&tab == m_front && m_hooks.undoStateChanged)
            m_hooks.undoStateChanged();
        if (tab.markShown != tab.commands->unsaved())
            showLabels();
    });
    box->setChangeHandler([this, &tab] { changed(tab); });
    // The hint follows the caret as well as the text.
    connect(box, &RichTextBox::caretMoved, this, [this, &tab] {
        if (&tab == m_front)
            m_hooks.caretMoved();
    });
    box->setMouseUpHandler(m_hooks.mouseUp);
    tab.recoveryTimer = new QTimer(this);
    tab.recoveryTimer->setSingleShot(true);
    connect(tab.recoveryTimer, &QTimer::timeout, this, [this, &tab] { keepRecoveryCopy(tab); });
    tab.recoverySchedule = std::make_unique<RecoverySchedule>(RecoveryPauseMs, RecoveryBoundMs);
    return owned;
}

void DocumentTabs::bringForward(DocumentTab &tab, bool justRead)
{
    DocumentTab *const previous = std::exchange(m_front, &tab);
    const bool swapped = previous && previous != &tab;
    if (swapped) {
        tab.box->setGeometry(previous->box->geometry());
        previous->box->hide();
    }
    m_view->showCurrent();
    layout();
    m_hooks.cameForward(tab, swapped, justRead);
    tab.box->show();
}

void DocumentTabs::layout()
{
    if (m_front)
        m_view->layout(*m_front->box, m_top);
}

void DocumentTabs::showLabels()
{
    for (DocumentTab *tab : all())
        tab->markShown = tab->commands->unsaved();
    m_view->showLabels();
}

void DocumentTabs::setLineNumbers(bool shown)
{
    m_lineNumbers = shown;
    for (DocumentTab *tab : all())
        tab->box->setLineNumbersShown(shown);
}

void DocumentTabs::offerRecovery()
{
    m_documents->offerRecovery();
    for (DocumentTab *tab : all()) {
        if (const FileSyntax syntax = syntaxForPath(tab->fileName()); tab->colours->syntax() != syntax)
            tab->colours->setSyntax(syntax);
    }
}

void DocumentTabs::changed(DocumentTab &tab)
{
    tab.recoveryTimer->start(tab.recoverySchedule->changed(m_recoveryClock.elapsed()));
    if (tab.markShown != tab.commands->unsaved())
        showLabels();
    if (&tab == m_front)
        m_hooks.textChanged();
}

void DocumentTabs::keepRecoveryCopy(DocumentTab &tab)
{
    tab.recoverySchedule->kept();
    if (!m_recovery)
        return;
    if (const Status failed = m_recovery->takeError(); !failed && !m_recoveryWarned) {
        m_recoveryWarned = true;
        m_prompts.showError(Texts::recoveryNotKept(failed.error()));
    }
    tab.commands->keepRecoveryCopy();
}
