#include "model/ModelArchiveClasses.h"

#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/AccountDetail.h"
#include "model/BankDetail.h"
#include "model/Security.h"
#include "model/Budget.h"
#include "model/CardDetail.h"
#include "model/Currency.h"
#include "model/Grouping.h"
#include "model/OpeningHolding.h"
#include "model/LoanTerms.h"
#include "model/LoanPayment.h"
#include "model/Settings.h"
#include "model/Summary.h"
#include "model/Node.h"
#include "platform/KeyedArchiver.h"

#include <mutex>

namespace cv {

void registerModelArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per class: cv::registerArchivable<Class>(QStringLiteral("Class"));
        cv::registerArchivable<AccountDetail>(QStringLiteral("CV4AssetModel"));
        cv::registerArchivable<InvestmentDetail>(QStringLiteral("CV4InvestModel"));
        cv::registerArchivable<BankDetail>(QStringLiteral("CV4BankModel"));
        cv::registerArchivable<CardDetail>(QStringLiteral("CV4CreditCardModel"));
        cv::registerArchivable<LoanTerms>(QStringLiteral("CV4LoanModel"));
        cv::registerArchivable<LoanPayment>(QStringLiteral("CV4LoanPayment"));
        cv::registerArchivable<LoanLump>(QStringLiteral("CV4LoanLump"));
        cv::registerArchivable<OpeningHolding>(QStringLiteral("CV4InvestUnit"));
        cv::registerArchivable<Summary>(QStringLiteral("CV4Summary"));
        cv::registerArchivable<SummaryMember>(QStringLiteral("CV4SummaryUnit"));
        cv::registerArchivable<Grouping>(QStringLiteral("CV4Grouping"));
        cv::registerArchivable<Budget>(QStringLiteral("CV4Budget"));
        cv::registerArchivable<BudgetElement>(QStringLiteral("CV4BudgetElement"));
        cv::registerArchivable<Settings>(QStringLiteral("CV4Settings"));
        cv::registerArchivable<Node>(QStringLiteral("CVUnitModel"));
        cv::registerArchivable<Currency>(QStringLiteral("CV4Currency"));
        cv::registerArchivable<Security>(QStringLiteral("CV4Brand"));
        cv::registerArchivable<AccountTrees>(QStringLiteral("CV4AccountModel"));
        cv::registerArchivable<CategoryTrees>(QStringLiteral("CV4ActualModel"));
    });
}

} // namespace cv
