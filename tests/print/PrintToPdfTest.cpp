// End to end: printed pages of the sample book go to PDF and read back with
// poppler's tools. Set CV_PRINT_OUT to a folder to keep the files and look
// at them (pdftoppm -png).

#include "print/CurrenciesPrint.h"
#include "print/ViewerPrint.h"
#include "print/SearchPrint.h"
#include "print/LoanSchedulePrint.h"
#include "print/PrintPages.h"
#include "print/ViewerPrintRow.h"
#include "document/Preference.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "support/SampleBook.h"

#include "charts/PdfText.h"

#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>

namespace {

using cvtest::pdfText;

std::string pdfInfo(const QString &file)
{
    return cvtest::runTool(QStringLiteral("pdfinfo"), {file}).simplified().toStdString();
}

void addRows(std::vector<cv::ViewerPrintParam> &rows, const cv::NodePtr &node, int level, int kind)
{
    rows.emplace_back(level, node.get(), kind);
    if (node->hasChildList()) {
        for (const cv::NodePtr &child : node->children()) addRows(rows, child, level + 1, kind);
    }
}

class PrintToPdfTest : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        if (cvtest::pdfTextMissing()) GTEST_SKIP() << "pdftotext is missing";
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
        auto info = std::make_shared<cv::PrintSettings>();
        info->setOrientation(orientation);
        m_doc->setPrintSettings(info);
    }

    std::unique_ptr<cv::Book> m_doc;
    cv::Preference m_prefs;
    QTemporaryDir m_temp;
    QString m_folder;
};

} // namespace

TEST_P(PrintToPdfTest, ViewerPrintsTitleHeadAndAccounts)
{
    setOrientation(cv::PrintSettings::Landscape);
    const cv::ViewerPrintRow printed(QDate(2008, 3, 1));
    cv::Book &doc = *m_doc;
    const auto make = [&](cv::PageSetup &setup) {
        std::vector<cv::ViewerPrintParam> rows{cv::ViewerPrintParam(cv::PrintedPagesParam::Header, nullptr, 0)};
        for (const cv::NodePtr &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()})
            addRows(rows, root, 0, 0);
        rows.emplace_back(cv::PrintedPagesParam::Header, nullptr, 1);
        for (const cv::NodePtr &root : {doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
            addRows(rows, root, 0, 1);
        return std::make_unique<cv::ViewerPrint>(
            [&](const cv::ViewerPrintParam &row) {
                if (row.isHeader()) return row.kind() == 0 ? printed.accountHeader() : printed.categoryHeader();
                return row.kind() == 0 ? printed.accountCells(doc, *row.ref()) : printed.categoryCells(doc, *row.ref());
            },
            std::move(rows), setup);
    };
    const QString file = pdf(QStringLiteral("viewer"));
    const auto result = cv::printPages(doc, m_prefs, make, nullptr, cv::PrintRunner::Mode::Pdf, file);
    ASSERT_TRUE(result.printed);
    const QString text = pdfText(file);
    const QString today = cv::formatDate(QDate::currentDate(), cv::localizedString(QStringLiteral("YYYY/MM/DD")));
    const QString head = cv::formatString(cv::localizedString(QStringLiteral("Report-Head-Date")), {today, 1, 2});
    // The head's date and page numbers are text a reader can search and copy,
    // each ideograph as itself (年月日, not the radicals sharing its glyph).
    EXPECT_TRUE(text.contains(head.simplified())) << head.toStdString() << "\n" << text.toStdString();
    for (const QString &expected :
         {cv::localizedString(QStringLiteral("Report-View-Title")), QStringLiteral("財布"), QStringLiteral("普通預金"),
          QStringLiteral("食費"), QStringLiteral("Salary"), doc.displayName(*doc.accountTrees()->asset()),
          cv::localizedString(QStringLiteral("Report-View-Carry")),
          cv::localizedString(QStringLiteral("Report-View-Rest"))})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    EXPECT_THAT(pdfInfo(file), ::testing::HasSubstr("Pages: 2"));
    EXPECT_THAT(pdfInfo(file), ::testing::HasSubstr("842 x 595"));
    EXPECT_EQ(doc.printSettings()->orientation(), cv::PrintSettings::Landscape);
}

TEST_P(PrintToPdfTest, LoanScheduleAndFixedOrientationsLeaveTheDocumentsOwn)
{
    setOrientation(cv::PrintSettings::Portrait);
    cv::LoanTerms loan;
    loan.setDate(QDate(2009, 4, 10));
    loan.setInitialValue(30000000);
    loan.setRate(0.015);
    loan.setTimes(120);
    loan.setDueDay(27);
    const cv::LoanSchedule schedule = loan.calcPayment();
    ASSERT_EQ(schedule.size(), 120u);
    cv::Book &doc = *m_doc;
    const auto make = [&](cv::PageSetup &setup) {
        std::vector<cv::LoanSchedulePrintParam> rows{cv::LoanSchedulePrintParam(cv::PrintedPagesParam::Header, 0)};
        for (int i = 0; i < int(schedule.size()); ++i) rows.emplace_back(0, i);
        return std::make_unique<cv::LoanSchedulePrint>(
            [&](const cv::LoanSchedulePrintParam &row) {
                if (row.isHeader()) return cv::LoanSchedulePrint::headerTitles();
                const cv::LoanPayment &p = *schedule[size_t(row.index())];
                // clang-format off
                return QStringList{QString::number(row.index() + 1), cv::formatProgramDate(p.date()),
                                   QString::number(p.rate() * 100, 'f', 3), doc.stringForValue(p.principal(), 1, false),
                                   doc.stringForValue(p.interest(), 1, false),
                                   doc.stringForValue(p.principal() + p.interest(), 1, false),
                                   doc.stringForValue(p.rest(), 1, false), QStringLiteral("普通預金")};
                // clang-format on
            },
            std::move(rows), setup);
    };
    const QString file = pdf(QStringLiteral("loan"));
    ASSERT_TRUE(cv::printPages(doc, m_prefs, make, nullptr, cv::PrintRunner::Mode::Pdf, file).printed);
    const QString text = pdfText(file);
    EXPECT_TRUE(text.contains(cv::localizedString(QStringLiteral("Report-Loan-Title"))));
    EXPECT_TRUE(text.contains(cv::localizedString(QStringLiteral("Report-Loan-Principal"))));
    EXPECT_THAT(pdfInfo(file), ::testing::HasSubstr("Pages: 3"));

    // A landscape view prints landscape; the document keeps its portrait.
    const auto search = [](cv::PageSetup &setup) {
        std::vector<cv::SearchPrintParam> rows{cv::SearchPrintParam(cv::PrintedPagesParam::Header, 0)};
        return std::make_unique<cv::SearchPrint>(
            [](const cv::SearchPrintParam &) { return cv::SearchPrint::headerTitles(); }, rows, setup);
    };
    const QString searchFile = pdf(QStringLiteral("search"));
    ASSERT_TRUE(cv::printPages(doc, m_prefs, search, nullptr, cv::PrintRunner::Mode::Pdf, searchFile).printed);
    EXPECT_THAT(pdfInfo(searchFile), ::testing::HasSubstr("842 x 595"));
    EXPECT_EQ(doc.printSettings()->orientation(), cv::PrintSettings::Portrait);

    // A page with nothing to print prints nothing.
    EXPECT_FALSE(cv::printPages(
                     doc, m_prefs, [](cv::PageSetup &) { return nullptr; }, nullptr, cv::PrintRunner::Mode::Pdf,
                     pdf(QStringLiteral("none")))
                     .printed);
}

INSTANTIATE_TEST_SUITE_P(Languages, PrintToPdfTest, ::testing::Values("ja", "en"));
