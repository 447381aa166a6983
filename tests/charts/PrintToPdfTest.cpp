// End to end: printed pages of the sample book go to PDF and read back with
// poppler's tools. Set CV_PRINT_OUT to a folder to keep the files and look
// at them (pdftoppm -png).

#include "charts/CV4InfoCurrencyView.h"
#include "charts/CV4InfoMainView.h"
#include "charts/CV4InfoSearchView.h"
#include "charts/CV4PrLoanView.h"
#include "charts/PrintInfoView.h"
#include "charts/ViewerPrintRow.h"
#include "document/CV4Preference.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "support/SampleBook.h"

#include "PdfText.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gmock/gmock.h>

namespace {

using cvtest::pdfText;

std::string pdfInfo(const QString &file)
{
    return cvtest::runTool(QStringLiteral("pdfinfo"), {file}).simplified().toStdString();
}

void addRows(std::vector<CV4InfoMainViewParam> &rows, const CVUnitModelPtr &node, int level, int kind)
{
    rows.emplace_back(level, node.get(), kind);
    if (node->hasChildList()) {
        for (const CVUnitModelPtr &child : node->children())
            addRows(rows, child, level + 1, kind);
    }
}

class PrintToPdfTest : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        if (cvtest::pdfTextMissing())
            GTEST_SKIP() << "pdftotext is missing";
        cv::setLanguageOverride(QString::fromLatin1(GetParam()));
        m_doc = samplebook::makeRichBook();
        ASSERT_TRUE(m_doc);
        m_doc->accumulateAccount();
        m_prefs.setLeftTopMargin(QSizeF(36, 36));
        m_prefs.setRightBottomMargin(QSizeF(36, 36));
        const QString keep = qEnvironmentVariable("CV_PRINT_OUT");
        m_folder = keep.isEmpty() ? m_temp.path() : keep;
        QDir().mkpath(m_folder);
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    QString pdf(const QString &name) const
    {
        return m_folder + QStringLiteral("/%1-%2.pdf").arg(name, QString::fromLatin1(GetParam()));
    }
    void setOrientation(int orientation)
    {
        auto info = std::make_shared<CVPrintInfo>();
        info->setOrientation(orientation);
        m_doc->setPrintInfo(info);
    }

    std::unique_ptr<CV4Document> m_doc;
    CV4Preference m_prefs;
    QTemporaryDir m_temp;
    QString m_folder;
};

} // namespace

TEST_P(PrintToPdfTest, ViewerPrintsTitleHeadAndAccounts)
{
    setOrientation(CVPrintInfo::Landscape);
    const cv::ViewerPrintRow printed(QDate(2008, 3, 1));
    CV4Document &doc = *m_doc;
    const auto make = [&](cv::PageSetup &setup) {
        std::vector<CV4InfoMainViewParam> rows{CV4InfoMainViewParam(CV4InfoViewParam::Header, nullptr, 0)};
        for (const CVUnitModelPtr &root : {doc.accountModel()->asset(), doc.accountModel()->debt()})
            addRows(rows, root, 0, 0);
        rows.emplace_back(CV4InfoViewParam::Header, nullptr, 1);
        for (const CVUnitModelPtr &root : {doc.actualModel()->income(), doc.actualModel()->expense()})
            addRows(rows, root, 0, 1);
        return std::make_unique<CV4InfoMainView>(
            [&](const CV4InfoMainViewParam &row) {
                if (row.isHeader())
                    return row.kind() == 0 ? printed.accountHeader() : printed.categoryHeader();
                return row.kind() == 0 ? printed.accountCells(doc, *row.ref()) : printed.categoryCells(doc, *row.ref());
            },
            std::move(rows), setup);
    };
    const QString file = pdf(QStringLiteral("viewer"));
    const auto result = cv::printInfoView(doc, m_prefs, make, nullptr, cv::PrintRunner::Mode::Pdf, file);
    ASSERT_TRUE(result.printed);
    const QString text = pdfText(file);
    const QString today = cv::formatDate(QDate::currentDate(), cv::localizedString(QStringLiteral("YYYY/MM/DD")));
    const QString head = cv::formatString(cv::localizedString(QStringLiteral("Report-Head-Date")), {today, 1, 2});
    // Digits set among Latin letters take glyph variants that poppler cannot
    // map back to text (the rendered pages show them), so the head is compared
    // without its digits and spaces.
    static const QRegularExpression digits(QStringLiteral("[0-9\\s]"));
    EXPECT_TRUE(QString(text).remove(digits).contains(QString(head).remove(digits)))
        << head.toStdString();
    for (const QString &expected :
         {cv::localizedString(QStringLiteral("Report-View-Title")), QStringLiteral("財布"),
          QStringLiteral("普通預金"), QStringLiteral("食費"), QStringLiteral("Salary"),
          doc.displayName(*doc.accountModel()->asset()), cv::localizedString(QStringLiteral("Report-View-Carry"))})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    EXPECT_THAT(pdfInfo(file), ::testing::HasSubstr("Pages: 2"));
    EXPECT_THAT(pdfInfo(file), ::testing::HasSubstr("842 x 595"));
    EXPECT_EQ(doc.printInfo()->orientation(), CVPrintInfo::Landscape);
}

TEST_P(PrintToPdfTest, LoanScheduleAndFixedOrientationsLeaveTheDocumentsOwn)
{
    setOrientation(CVPrintInfo::Portrait);
    CV4LoanModel loan;
    loan.setDate(QDate(2009, 4, 10));
    loan.setInitialValue(30000000);
    loan.setRate(0.015);
    loan.setTimes(120);
    loan.setDueDay(27);
    const CV4LoanSchedule schedule = loan.calcPayment();
    ASSERT_EQ(schedule.size(), 120u);
    CV4Document &doc = *m_doc;
    const auto make = [&](cv::PageSetup &setup) {
        std::vector<CV4PrLoanViewParam> rows{CV4PrLoanViewParam(CV4InfoViewParam::Header, 0)};
        for (int i = 0; i < int(schedule.size()); ++i)
            rows.emplace_back(0, i);
        return std::make_unique<CV4PrLoanView>(
            [&](const CV4PrLoanViewParam &row) {
                if (row.isHeader())
                    return CV4PrLoanView::headerTitles();
                const CV4LoanPayment &p = *schedule[size_t(row.index())];
                return QStringList{QString::number(row.index() + 1), cv::formatProgramDate(p.date()),
                                   QString::number(p.rate() * 100, 'f', 3), doc.stringForValue(p.principal(), 1, false),
                                   doc.stringForValue(p.interest(), 1, false),
                                   doc.stringForValue(p.principal() + p.interest(), 1, false),
                                   doc.stringForValue(p.rest(), 1, false), QStringLiteral("普通預金")};
            },
            std::move(rows), setup);
    };
    const QString file = pdf(QStringLiteral("loan"));
    ASSERT_TRUE(cv::printInfoView(doc, m_prefs, make, nullptr, cv::PrintRunner::Mode::Pdf, file).printed);
    const QString text = pdfText(file);
    EXPECT_TRUE(text.contains(cv::localizedString(QStringLiteral("Report-Loan-Title"))));
    EXPECT_TRUE(text.contains(cv::localizedString(QStringLiteral("Report-Loan-Principal"))));
    EXPECT_THAT(pdfInfo(file), ::testing::HasSubstr("Pages: 3"));

    // A landscape view prints landscape; the document keeps its portrait.
    const auto search = [](cv::PageSetup &setup) {
        std::vector<CV4InfoSearchViewParam> rows{CV4InfoSearchViewParam(CV4InfoViewParam::Header, 0)};
        return std::make_unique<CV4InfoSearchView>(
            [](const CV4InfoSearchViewParam &) { return CV4InfoSearchView::headerTitles(); }, rows, setup);
    };
    const QString searchFile = pdf(QStringLiteral("search"));
    ASSERT_TRUE(cv::printInfoView(doc, m_prefs, search, nullptr, cv::PrintRunner::Mode::Pdf, searchFile).printed);
    EXPECT_THAT(pdfInfo(searchFile), ::testing::HasSubstr("842 x 595"));
    EXPECT_EQ(doc.printInfo()->orientation(), CVPrintInfo::Portrait);

    // A page with nothing to print prints nothing.
    EXPECT_FALSE(cv::printInfoView(doc, m_prefs, [](cv::PageSetup &) { return nullptr; }, nullptr,
                                   cv::PrintRunner::Mode::Pdf, pdf(QStringLiteral("none")))
                     .printed);
}

INSTANTIATE_TEST_SUITE_P(Languages, PrintToPdfTest, ::testing::Values("ja", "en"));
