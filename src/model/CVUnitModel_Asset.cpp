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
    return m_kind == 21 || m_kind == 5;
}

bool CVUnitModel::isAsset() const
{
    return m_kind >= 30 && m_kind <= 33;
}

bool CVUnitModel::isCache() const
{
    return m_kind == 30 || m_kind == 31;
}

bool CVUnitModel::isDebt() const
{
    return m_kind >= 40 && m_kind <= 42;
}

bool CVUnitModel::isPayable() const
{
    return m_kind == 30 || m_kind == 31 || m_kind == 33 || m_kind == 40;
}

bool CVUnitModel::isAccount() const
{
    return (m_kind >= 30 && m_kind <= 49) || m_kind == 6 || m_kind == 3;
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
    case 2:
    case 20: key = "Report-Group"; break;
    case 30: key = "Report-Asset-Cache"; break;
    case 31: key = "Report-Asset-Bank"; break;
    case 32: key = "Report-Asset-Invest-Cache"; break;
    case 33: key = "Report-Asset-General"; break;
    case 40: key = "Report-Debt-Credit"; break;
    case 41: key = "Report-Debt-Loan"; break;
    case 42: key = "Report-Debt-General"; break;
    default: return QString();
    }
    return cv::localizedString(QString::fromLatin1(key));
}

bool CVUnitModel::validAtDate(const QDate &date) const
{
    if (m_kind == 6 && startsAfter(m_extra, date)) return false;
    const CVUnitModel *account = this;
    if (m_kind == 3 || m_kind == 6) {
        account = m_parent;   // the investment account
        if (!account) return true;
    } else if ((m_kind >= 0 && m_kind <= 5) || m_kind == 20 || m_kind == 50) {
        return true;
    }
    return !startsAfter(account->m_extra, date);
}
