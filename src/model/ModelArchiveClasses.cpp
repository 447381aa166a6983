#include "model/ModelArchiveClasses.h"

#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"
#include "model/CV4AssetModel.h"
#include "model/CV4BankModel.h"
#include "model/CV4Brand.h"
#include "model/CV4Budget.h"
#include "model/CV4CreditCardModel.h"
#include "model/CV4Currency.h"
#include "model/CV4Grouping.h"
#include "model/CV4InvestUnit.h"
#include "model/CV4LoanModel.h"
#include "model/CV4LoanPayment.h"
#include "model/CV4Settings.h"
#include "model/CV4Summary.h"
#include "model/CVUnitModel.h"
#include "platform/KeyedArchiver.h"

#include <mutex>

void registerModelArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per class: cv::registerArchivable<Class>(QStringLiteral("Class"));
        cv::registerArchivable<CV4AssetModel>(QStringLiteral("CV4AssetModel"));
        cv::registerArchivable<CV4InvestModel>(QStringLiteral("CV4InvestModel"));
        cv::registerArchivable<CV4BankModel>(QStringLiteral("CV4BankModel"));
        cv::registerArchivable<CV4CreditCardModel>(QStringLiteral("CV4CreditCardModel"));
        cv::registerArchivable<CV4LoanModel>(QStringLiteral("CV4LoanModel"));
        cv::registerArchivable<CV4LoanPayment>(QStringLiteral("CV4LoanPayment"));
        cv::registerArchivable<CV4LoanLump>(QStringLiteral("CV4LoanLump"));
        cv::registerArchivable<CV4InvestUnit>(QStringLiteral("CV4InvestUnit"));
        cv::registerArchivable<CV4Summary>(QStringLiteral("CV4Summary"));
        cv::registerArchivable<CV4SummaryUnit>(QStringLiteral("CV4SummaryUnit"));
        cv::registerArchivable<CV4Grouping>(QStringLiteral("CV4Grouping"));
        cv::registerArchivable<CV4Budget>(QStringLiteral("CV4Budget"));
        cv::registerArchivable<CV4BudgetElement>(QStringLiteral("CV4BudgetElement"));
        cv::registerArchivable<CV4Settings>(QStringLiteral("CV4Settings"));
        cv::registerArchivable<CVUnitModel>(QStringLiteral("CVUnitModel"));
        cv::registerArchivable<CV4Currency>(QStringLiteral("CV4Currency"));
        cv::registerArchivable<CV4Brand>(QStringLiteral("CV4Brand"));
        cv::registerArchivable<CV4AccountModel>(QStringLiteral("CV4AccountModel"));
        cv::registerArchivable<CV4ActualModel>(QStringLiteral("CV4ActualModel"));
    });
}
