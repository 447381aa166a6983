#include "panels/sheets/SummaryDialog.h"

#include "controls/TickTree.h"
#include "controls/DialogButtons.h"
#include "controls/OpenSheet.h"
#include "document/Book.h"
#include "model/Summary.h"
#include "panels/sheets/InputTextField.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace cv {

namespace {

void refill(std::vector<SummaryMemberPtr> &list, const std::vector<int> &idents)
{
    list.clear();
    for (int ident : idents) {
        auto unit = std::make_shared<SummaryMember>();
        unit->setRefID(ident);
        list.push_back(unit);
    }
}
} // namespace

SummaryDialog::SummaryDialog(Book *document, NodePtr item, QWidget *parent)
    : QDialog(parent), m_document(document), m_currentItem(std::move(item)), m_nameField(new InputTextField(0, this)),
      m_memoField(new InputTextField(0, this)), m_outline(new cv::TickTree(this))
{
    Q_ASSERT(document && m_currentItem);
    setWindowTitle(
        cv::localizedString(isAccountSummary() ? "Summary-Name-Title-Account" : "Summary-Name-Title-Category"));
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
    const auto summary = std::dynamic_pointer_cast<Summary>(m_currentItem->extra());
    if (summary) m_memoField->setText(summary->memo());
    m_outline->setDocument(m_document, isAccountSummary());
    // Names and kinds only: the ticks show what is chosen.
    m_outline->setColumnHidden(2, true);
    m_outline->header()->setStretchLastSection(false);
    m_outline->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_outline->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    if (summary && m_document) {
        const bool accounts = isAccountSummary();
        const auto tick = [this](const NodePtr &node) {
            // Already ticked with its folder: a second toggle would clear it.
            if (node && node->status() == 0) m_outline->toggleNode(*node);
        };
        for (const SummaryMemberPtr &unit : summary->addedNodes())
            if (unit) tick(accounts ? m_document->findAccount(unit->refID()) : m_document->findIncome(unit->refID()));
        for (const SummaryMemberPtr &unit : summary->subtractedNodes())
            if (unit) tick(accounts ? m_document->findAccount(unit->refID()) : m_document->findExpense(unit->refID()));
    }
    m_hasChanged = false;
    updateButtons();
    m_loading = false;
    cv::changeTextInputSource(m_nameField, true);
    connect(m_nameField, &QLineEdit::textEdited, this, &SummaryDialog::updateButtons);
    connect(m_memoField, &QLineEdit::textEdited, this, &SummaryDialog::updateButtons);
}

SummaryDialog *SummaryDialog::openSummaryPanel(Book *document, const NodePtr &item, QWidget *parent,
                                               std::function<void(int, SummaryDialog *)> done)
{
    if (!document || !item) return nullptr;
    return cv::openSheet(new SummaryDialog(document, item, parent), parent, std::move(done));
}

bool SummaryDialog::isAccountSummary() const
{
    return m_currentItem && m_currentItem->kind() == cv::NodeKind::AccountSummary;
}

void SummaryDialog::updateButtons()
{
    if (m_loading) {
        m_okButton->setEnabled(false);
        return;
    }
    m_hasChanged = true;
    m_okButton->setEnabled(!m_nameField->text().isEmpty() && !m_outline->selectedNodes().empty());
}

void SummaryDialog::okPushed()
{
    if (!m_hasChanged) {
        done(0);
        return;
    }
    if (!m_okButton->isEnabled()) return; // the close box never counts as OK
    m_currentItem->setName(m_nameField->text());
    auto summary = std::dynamic_pointer_cast<Summary>(m_currentItem->extra());
    if (!summary) {
        summary = std::make_shared<Summary>();
        m_currentItem->setExtra(summary);
    }
    summary->setMemo(m_memoField->text());
    std::vector<int> added;
    std::vector<int> subtracted;
    const Node *addedRoot = m_outline->roots()[0].get();
    for (const NodePtr &node : m_outline->selectedNodes()) {
        const bool adds = isAccountSummary() ? node->isAsset() : node->hasAncestor(addedRoot);
        (adds ? added : subtracted).push_back(node->ident());
    }
    refill(summary->addedNodes(), added);
    refill(summary->subtractedNodes(), subtracted);
    done(1);
}

void SummaryDialog::cancelPushed()
{
    if (m_hasChanged && m_currentItem->ident() > 0 && !Alert::discardChanges()) return;
    done(0);
}

} // namespace cv
