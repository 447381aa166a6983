#include "model/ExtraInterfaces.h"
#include "model/Node.h"
#include "platform/Localization.h"

namespace cv {

namespace {

// Budgets and summaries carry no start date: such an account has always started.
bool startsAfter(const cv::ArchivablePtr &extra, const QDate &date)
{
    const auto *dated = dynamic_cast<const DatedExtra *>(extra.get());
    if (!dated) return false;
    const QDate start = dated->date();
    return start.isValid() && date.isValid() && start > date;
}

} // namespace

bool Node::isCategory() const
{
    return m_kind == cv::NodeKind::Category || m_kind == cv::NodeKind::SystemItem;
}

bool Node::isAsset() const
{
    return cv::isAssetAccountKind(m_kind);
}

bool Node::isCash() const
{
    return m_kind == cv::NodeKind::Cash || m_kind == cv::NodeKind::Bank;
}

bool Node::isDebt() const
{
    return cv::isDebtAccountKind(m_kind);
}

bool Node::isPayable() const
{
    return m_kind == cv::NodeKind::Cash || m_kind == cv::NodeKind::Bank || m_kind == cv::NodeKind::GeneralAsset ||
           m_kind == cv::NodeKind::CreditCard;
}

bool Node::isAccount() const
{
    return (m_kind >= cv::NodeKind::Cash && m_kind < cv::NodeKind::AccountSummary) || m_kind == cv::NodeKind::Holding ||
           m_kind == cv::NodeKind::CashPart;
}

double Node::assetInitialValue() const
{
    const auto *v = dynamic_cast<const InitialValueExtra *>(m_extra.get());
    return v ? v->initialValue() : 0.0;
}

QDate Node::assetInitialDate() const
{
    const auto *d = dynamic_cast<const DatedExtra *>(m_extra.get());
    return d ? d->date() : QDate();
}

QString Node::assetKindName() const
{
    const char *key = nullptr;
    switch (m_kind) {
    case cv::NodeKind::Report:
    case cv::NodeKind::Group: key = "Report-Group"; break;
    case cv::NodeKind::Cash: key = "Report-Asset-Cache"; break;
    case cv::NodeKind::Bank: key = "Report-Asset-Bank"; break;
    case cv::NodeKind::Investment: key = "Report-Asset-Invest-Cache"; break;
    case cv::NodeKind::GeneralAsset: key = "Report-Asset-General"; break;
    case cv::NodeKind::CreditCard: key = "Report-Debt-Credit"; break;
    case cv::NodeKind::Loan: key = "Report-Debt-Loan"; break;
    case cv::NodeKind::GeneralDebt: key = "Report-Debt-General"; break;
    default: return QString();
    }
    return cv::localizedString(key);
}

bool Node::validAtDate(const QDate &date) const
{
    if (m_kind == cv::NodeKind::Holding && startsAfter(m_extra, date)) return false;
    const Node *account = this;
    if (m_kind == cv::NodeKind::CashPart || m_kind == cv::NodeKind::Holding) {
        account = m_parent; // the investment account
        if (!account) return true;
    } else if (cv::isSystemNameKind(m_kind) || m_kind == cv::NodeKind::Group ||
               m_kind == cv::NodeKind::AccountSummary) {
        return true;
    }
    return !startsAfter(account->m_extra, date);
}

} // namespace cv
