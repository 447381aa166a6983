#include "model/CVExtraInterfaces.h"
#include "model/CVUnitModel.h"
#include "platform/Localization.h"

namespace {

// Budgets and summaries carry no start date: such an account has always started.
bool startsAfter(const cv::ArchivablePtr &extra, const QDate &date)
{
    const auto *dated = dynamic_cast<const CVDatedExtra *>(extra.get());
    if (!dated) return false;
    const QDate start = dated->date();
    return start.isValid() && date.isValid() && start > date;
}

} // namespace

bool CVUnitModel::isActual() const
{
    return m_kind == cv::NodeKind::Category || m_kind == cv::NodeKind::SystemItem;
}

bool CVUnitModel::isAsset() const
{
    return cv::isAssetAccountKind(m_kind);
}

bool CVUnitModel::isCache() const
{
    return m_kind == cv::NodeKind::Cash || m_kind == cv::NodeKind::Bank;
}

bool CVUnitModel::isDebt() const
{
    return cv::isDebtAccountKind(m_kind);
}

bool CVUnitModel::isPayable() const
{
    return m_kind == cv::NodeKind::Cash || m_kind == cv::NodeKind::Bank || m_kind == cv::NodeKind::GeneralAsset || m_kind == cv::NodeKind::CreditCard;
}

bool CVUnitModel::isAccount() const
{
    return (m_kind >= cv::NodeKind::Cash && m_kind < cv::NodeKind::AccountSummary) || m_kind == cv::NodeKind::Holding || m_kind == cv::NodeKind::CashPart;
}

double CVUnitModel::assetInitialValue() const
{
    const auto *v = dynamic_cast<const CVInitialValueExtra *>(m_extra.get());
    return v ? v->initialValue() : 0.0;
}

QDate CVUnitModel::assetInitialDate() const
{
    const auto *d = dynamic_cast<const CVDatedExtra *>(m_extra.get());
    return d ? d->date() : QDate();
}

QString CVUnitModel::assetKindName() const
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

bool CVUnitModel::validAtDate(const QDate &date) const
{
    if (m_kind == cv::NodeKind::Holding && startsAfter(m_extra, date)) return false;
    const CVUnitModel *account = this;
    if (m_kind == cv::NodeKind::CashPart || m_kind == cv::NodeKind::Holding) {
        account = m_parent;   // the investment account
        if (!account) return true;
    } else if (cv::isSystemNameKind(m_kind) || m_kind == cv::NodeKind::Group || m_kind == cv::NodeKind::AccountSummary) {
        return true;
    }
    return !startsAfter(account->m_extra, date);
}
