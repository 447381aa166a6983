#include "panels/sheets/SummaryPanelController.h"

#include "controls/AccountActualOutlineView.h"
#include "controls/DialogButtons.h"
#include "controls/OpenSheet.h"
#include "document/CV4Document.h"
#include "model/CV4Summary.h"
#include "panels/entry/InputTextField.h"
#include "platform/CV4Alert.h"
#include "platform/Localization.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void refill(std::vector<CV4SummaryUnitPtr> &list, const std::vector<int> &idents)
{
    list.clear();
    for (int ident : idents) {
        auto unit = std::make_shared<CV4SummaryUnit>();
        unit->setRefID(ident);
        list.push_back(unit);
    }
}
} // namespace

SummaryPanelController::SummaryPanelController(CV4Document *document, CVUnitModelPtr item, QWidget *parent)
    : QDialog(parent), m_document(document), m_currentItem(std::move(item)), m_nameField(new InputTextField(0, this)),
      m_memoField(new InputTextField(0, this)), m_outline(new cv::AccountActualOutlineView(this))
{
    Q_ASSERT(document && m_currentItem);
    setWindowTitle(cv::localizedString(isAccountSummary() ? "Summary-Name-Title-Account" : "Summary-Name-Title-Category"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(cv::localizedString("Sheet-Name"), m_nameField);
    form->addRow(cv::localizedString("Sheet-Memo"), m_memoField);
    layout->addLayout(form);
    layout->addWidget(new QLabel(cv::localizedString("Summary-Items"), this));
    layout->addWidget(m_outline, 1);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;
    resize(460, 520);

    m_nameField->setText(m_currentItem->name());
    const auto summary = std::dynamic_pointer_cast<CV4Summary>(m_currentItem->extra());
    if (summary) m_memoField->setText(summary->memo());
    m_outline->setDocument(m_document, isAccountSummary());
    // Names and kinds only: the ticks show what is chosen.
    m_outline->setColumnHidden(2, true);
    m_outline->header()->setStretchLastSection(false);
    m_outline->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_outline->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    if (summary && m_document) {
        const bool accounts = isAccountSummary();
        const auto tick = [this](const CVUnitModelPtr &node) {
            // Already ticked with its folder: a second toggle would clear it.
            if (node && node->status() == 0) m_outline->toggleNode(*node);
        };
        for (const CV4SummaryUnitPtr &unit : summary->assetList())
            if (unit) tick(accounts ? m_document->findAccount(unit->refID()) : m_document->findIncome(unit->refID()));
        for (const CV4SummaryUnitPtr &unit : summary->debtList())
            if (unit) tick(accounts ? m_document->findAccount(unit->refID()) : m_document->findExpense(unit->refID()));
    }
    m_hasChanged = false;
    setButtonStatus();
    m_loading = false;
    cv::changeTextInputSource(m_nameField, true);
    connect(m_nameField, &QLineEdit::textEdited, this, &SummaryPanelController::setButtonStatus);
    connect(m_memoField, &QLineEdit::textEdited, this, &SummaryPanelController::setButtonStatus);
}

SummaryPanelController *SummaryPanelController::openSummaryPanel(
    CV4Document *document, const CVUnitModelPtr &item, QWidget *parent,
    std::function<void(int, SummaryPanelController *)> done)
{
    if (!document || !item) return nullptr;
    return cv::openSheet(new SummaryPanelController(document, item, parent), parent, std::move(done));
}

bool SummaryPanelController::isAccountSummary() const
{
    return m_currentItem && m_currentItem->kind() == cv::NodeKind::AccountSummary;
}

void SummaryPanelController::setButtonStatus()
{
    if (m_loading) {
        m_okButton->setEnabled(false);
        return;
    }
    m_hasChanged = true;
    m_okButton->setEnabled(!m_nameField->text().isEmpty() && !m_outline->selectedNodes().empty());
}

void SummaryPanelController::okPushed()
{
    if (!m_hasChanged) {
        done(0);
        return;
    }
    if (!m_okButton->isEnabled()) return;  // the close box never counts as OK
    m_currentItem->setName(m_nameField->text());
    auto summary = std::dynamic_pointer_cast<CV4Summary>(m_currentItem->extra());
    if (!summary) {
        summary = std::make_shared<CV4Summary>();
        m_currentItem->setExtra(summary);
    }
    summary->setMemo(m_memoField->text());
    std::vector<int> added;
    std::vector<int> subtracted;
    const CVUnitModel *addedRoot = m_outline->roots()[0].get();
    for (const CVUnitModelPtr &node : m_outline->selectedNodes()) {
        const bool adds = isAccountSummary() ? node->isAsset() : node->hasAncestor(addedRoot);
        (adds ? added : subtracted).push_back(node->ident());
    }
    refill(summary->assetList(), added);
    refill(summary->debtList(), subtracted);
    done(1);
}

void SummaryPanelController::cancelPushed()
{
    if (m_hasChanged && m_currentItem->ident() > 0 && !CV4Alert::discardChanges()) return;
    done(0);
}
