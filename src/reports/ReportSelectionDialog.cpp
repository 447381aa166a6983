#include "reports/ReportSelectionDialog.h"

#include "platform/Localization.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cv {

ReportSelectionDialog::ReportSelectionDialog(const char *titleKey, QWidget *parent)
    : QDialog(parent), m_list(new QTreeWidget(this)), m_okButton(new QPushButton(localizedString("OK"), this)),
      m_cancelButton(new QPushButton(localizedString("Cancel"), this))
{
    setWindowTitle(localizedString(titleKey));
    setModal(true);
    m_list->setHeaderHidden(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_okButton);
    m_okButton->setDefault(true);
    m_okButton->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(360, 420);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { updateOK(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (item && actsOn(*item)) okPushed();
    });
    connect(m_okButton, &QPushButton::clicked, this, [this] { okPushed(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { done(kCancel); });
}

void ReportSelectionDialog::markChosen(QTreeWidgetItem &item, bool chosen)
{
    item.setCheckState(0, chosen ? Qt::Checked : Qt::Unchecked);
    // The tick only shows: the user picks by selecting rows.
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (!chosen) flags |= Qt::ItemIsSelectable;
    item.setFlags(flags);
}

void ReportSelectionDialog::updateOK()
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    m_okButton->setEnabled(
        std::any_of(selected.begin(), selected.end(), [this](const QTreeWidgetItem *item) { return actsOn(*item); }));
}

void ReportSelectionDialog::okPushed()
{
    updateOK();
    if (!m_okButton->isEnabled()) return;
    apply();
    done(kOK);
}

} // namespace cv
