#include "gui/dialogs/frmCatalogue.h"

#include "catalogue/CatalogueFamily.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

frmCatalogue::frmCatalogue(const QStringList &familiesOff, const QHash<QString, int> &entries, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCatalogue"));
    setWindowTitle(QStringLiteral("Catalogue"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Hint and colour the names of the ticked families. The names of the others "
                                            "count as unknown."),
                             this);
    label->setWordWrap(true);
    layout->addWidget(label);
    for (const CatalogueFamily &family : CatalogueFamilies::all()) {
        const int count = entries.value(family.id);
        auto *box = new QCheckBox(
            QStringLiteral("%1 (%2 %3)").arg(family.name).arg(count).arg(count == 1 ? "entry" : "entries"), this);
        box->setObjectName(QStringLiteral("chk") + family.id);
        box->setChecked(!familiesOff.contains(family.id));
        layout->addWidget(box);
        m_boxes << box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QStringList frmCatalogue::familiesOff() const
{
    QStringList off;
    const auto families = CatalogueFamilies::all();
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        if (!m_boxes[i]->isChecked())
            off << families[i].id;
    return off;
}
