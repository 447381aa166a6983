#include "panels/dialogs/AccountDialog.h"

#include "document/ReadOnlyBook.h"
#include "model/AccountTrees.h"
#include "model/DomainEnums.h"
#include "platform/Assert.h"
#include "platform/Localization.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

namespace {

// The mode bit of an account kind, 0 for other nodes.
int kindBit(cv::NodeKind kind)
{
    switch (kind) {
    case cv::NodeKind::Cash: return 1;
    case cv::NodeKind::Bank: return 2;
    case cv::NodeKind::Investment: return 4;
    case cv::NodeKind::GeneralAsset: return 8;
    case cv::NodeKind::CreditCard: return 16;
    case cv::NodeKind::Loan: return 32;
    case cv::NodeKind::GeneralDebt: return 64;
    default: return 0;
    }
}

constexpr int kGroupBit = 256;
constexpr int kAssetBits = 1 | 2 | 4 | 8;
constexpr int kDebtBits = 16 | 32 | 64;

} // namespace

AccountDialog::AccountDialog(ReadOnlyBook *document, int account, int mode, std::vector<NodePtr> excludes,
                             std::vector<NodePtr> *result, QWidget *parent)
    : QDialog(parent), m_document(document), m_excludes(std::move(excludes)), m_mode(mode), m_account(account),
      m_result(result)
{
    setWindowTitle(cv::localizedString(QStringLiteral("Account-Dialog-Title")));
    setWindowModality(Qt::ApplicationModal);
    if (document && document->accountTrees()) {
        if (mode & kAssetBits) collectFrom(document->accountTrees()->asset());
        if (mode & kDebtBits) collectFrom(document->accountTrees()->debt());
    }

    auto *layout = new QVBoxLayout(this);
    m_tableView = new QTreeWidget(this);
    m_tableView->setRootIsDecorated(false);
    m_tableView->setColumnCount(2);
    m_tableView->setHeaderLabels({cv::localizedString(QStringLiteral("Account-Dialog-Name")),
                                  cv::localizedString(QStringLiteral("Account-Dialog-Kind"))});
    m_tableView->setSelectionMode(m_result ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const NodePtr &node : m_data) {
        auto *item = new QTreeWidgetItem(m_tableView, {document->displayName(*node), node->assetKindName()});
        if (!m_result && node->ident() == m_account) m_tableView->setCurrentItem(item);
    }
    m_tableView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_tableView);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &AccountDialog::okPushed);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(-1); });
    connect(m_tableView, &QTreeWidget::itemDoubleClicked, this, &AccountDialog::okPushed);
    resize(360, 320);
}

void AccountDialog::collectFrom(const NodePtr &node)
{
    if (!node) return;
    const auto kind = node->kind();
    const bool isGroup = kind == cv::NodeKind::Group;
    const bool offer = (isGroup && (m_mode & kGroupBit)) || (kindBit(kind) & m_mode);
    if (offer && std::find(m_excludes.begin(), m_excludes.end(), node) == m_excludes.end()) m_data.push_back(node);
    // An account's children (an investment's holdings and cash part) are never offered.
    if (kindBit(kind) != 0) return;
    for (const NodePtr &child : node->children()) collectFrom(child);
}

void AccountDialog::okPushed()
{
    std::vector<int> rows;
    for (QTreeWidgetItem *item : m_tableView->selectedItems()) rows.push_back(m_tableView->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    // The list is flat: a row outside it is a slip, not a pick.
    CV_ASSERT_OR(rows.empty() || (rows.front() >= 0 && rows.back() < int(m_data.size())), rows.clear());
    if (m_result) {
        for (int row : rows) m_result->push_back(m_data[size_t(row)]);
        done(rows.empty() ? -1 : int(rows.size()));
        return;
    }
    if (rows.empty()) {
        done(-1);
        return;
    }
    m_lastChoice = m_data[size_t(rows.front())];
    done(m_lastChoice->ident() == m_account ? -1 : m_lastChoice->ident());
}

int AccountDialog::runAccountDialog(ReadOnlyBook *document, int account, int mode, std::vector<NodePtr> excludes,
                                    std::vector<NodePtr> *result, QWidget *parent)
{
    AccountDialog dialog(document, account, mode, std::move(excludes), result, parent);
    return dialog.exec();
}

} // namespace cv
