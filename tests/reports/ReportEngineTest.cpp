// The page engine: pages counted and drawn by the one rule, the head, rules
// and the value blanking, through a minimal report over Fixture F (the kinds'
// page tables hold the head's page numbers and the full names).
#include "ReportFixture.h"

#include "support/SampleBook.h"

#include "platform/Localization.h"

#include <gtest/gtest.h>

using namespace reportfixture;
using Range = cv::Report::PageRange;
using Item = cv::ReportRow;

namespace {

// Rows as given; each data row draws its index left and "v<index>" right.
class RowsView : public cv::Report {
public:
    RowsView(cv::Book &doc, Rows rows, bool blankValues = false) : cv::Report(doc, a4()), m_blankValues(blankValues)
    {
        setData(std::move(rows));
        setTitle(QStringLiteral("Rows"));
    }

protected:
    void drawPage(cv::Canvas &canvas) override
    {
        setDisableValues(m_blankValues);
        walkRows(canvas, top() + kRowsTop, [&](int index, double y) {
            drawLeftJustified(canvas, QString::number(index), QPointF(left(), y));
            drawRightJustified(canvas, QStringLiteral("v%1").arg(index), QPointF(left() + 100, y), 77);
            drawCentered(canvas, QStringLiteral("c%1").arg(index), QPointF(left() + 200, y), 33);
        });
    }

private:
    bool m_blankValues;
};

// Data rows of 14 points; 'b' a blank row, '|' a page break.
cv::Report::Rows rowsOf(int data, const char *tail = "")
{
    cv::Report::Rows rows(size_t(data), Item(0, 14));
    for (const char *c = tail; *c; ++c) {
        if (*c == 'b')
            cv::Report::addBlankTo(rows);
        else if (*c == '|')
            cv::Report::addPageTo(rows);
        else
            rows.emplace_back(0, 14);
    }
    return rows;
}

class ReportEngineTest : public FixtureFTest {};

} // namespace

TEST_F(ReportEngineTest, PagesFollowTheOneRule)
{
    ASSERT_DOUBLE_EQ(cv::Report::usableHeight(a4()), 658); // 842 - 36 - 36 - 70 - 42
    struct Case {
        const char *what;
        cv::Report::Rows rows;
        std::vector<Range> pages;
    } cases[] = {
        {"47 rows fill one page", rowsOf(47), {{0, 47}}},
        {"the 48th row opens page 2", rowsOf(48), {{0, 47}, {47, 48}}},
        {"a final page break adds no page", rowsOf(3, "b|"), {{0, 3}}},
        {"a break starts the next page", rowsOf(3, "b|xx"), {{0, 3}, {5, 7}}},
        {"an overflowing blank before a break is on no page", rowsOf(47, "b|x"), {{0, 47}, {49, 50}}},
        {"an overflowing last row opens a page alone", rowsOf(47, "x"), {{0, 47}, {47, 48}}},
        {"no rows: one empty page", {}, {{0, 0}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(cv::Report::paginate(c.rows, 658), c.pages) << c.what;
        EXPECT_EQ(cv::Report::countPages(c.rows, a4()), int(c.pages.size())) << c.what;
    }
}

TEST_F(ReportEngineTest, PageHeadRowsAndRules)
{
    cv::Report::Rows rows = rowsOf(2);
    cv::Report::addLineTo(rows);
    cv::Report::addThinlineTo(rows);
    rows.emplace_back(0, 14);
    RowsView view(*doc, rows);
    const cv::RecordingCanvas canvas = drawPage(view, 1);
    EXPECT_EQ(lineAt(canvas, 36), QStringList{QStringLiteral("2026/01/02    Page 1 of 1")});
    EXPECT_EQ(lineAt(canvas, 50), QStringList{QStringLiteral("Rows")});
    EXPECT_EQ(lineAt(canvas, 78), (QStringList{"0", "v0", "c0"}));
    EXPECT_EQ(lineAt(canvas, 92), (QStringList{"1", "v1", "c1"}));
    EXPECT_EQ(lineAt(canvas, 114), (QStringList{"4", "v4", "c4"})); // below two 4-point rules
    const auto rules = canvas.calls(cv::RecordingCanvas::Op::FillRect);
    ASSERT_EQ(rules.size(), 2);
    EXPECT_EQ(rules[0].rect, QRectF(36, 106 + 1, 595 - 36, 2));
    EXPECT_EQ(rules[1].rect, QRectF(36, 110 + 1.5, 595 - 36, 1));

    // Blanked values leave left and centred text.
    RowsView blank(*doc, rowsOf(1), true);
    EXPECT_EQ(lineAt(drawPage(blank, 1), 78), (QStringList{"0", "c0"}));
}

// Whatever the language, the texts of one line of any kind's page stand
// apart: a head, name or figure set wider than its column never runs into
// the next one.
TEST_F(ReportEngineTest, NoTwoTextsOfALineOverlapOnAnyKind)
{
    constexpr double kGap = 1; // texts that touch read as one
    for (const auto &security : doc->securityList()) security->setOutlineState(1);
    // Names and a memo longer than any column: each is cut where its column ends.
    doc->findAccount(kCard)->setName(QStringLiteral("クレジットカード（メイン）楽天ゴールドカード家族会員"));
    doc->findAccount(kBank)->setName(QStringLiteral("Mitsubishi UFJ Bank, the household's savings account"));
    doc->findExpense(kFood)->setName(QStringLiteral("Groceries and household supplies for the week"));
    auto shopping = samplebook::entry(cv::EntryKind::Expense, QDate(2008, 5, 21), 1234, kFood, kBank);
    shopping->setMemo(QStringLiteral("Weekly shopping at the supermarket by the station, with the neighbours"));
    doc->updateExpense(shopping, nullptr);
    for (const char *language : {"ja", "en"}) {
        cv::setLanguageOverride(QString::fromLatin1(language));
        for (int kind = 0; kind < cv::kReportKindCount; ++kind) {
            cv::ReportRequest request{kind, kP1, kP2, kQ1, kQ2};
            request.months = 1;
            const auto view = makeReport(*doc, request);
            ASSERT_TRUE(view) << kind;
            for (int page = 1; page <= view->pages(); ++page) {
                cv::RecordingCanvas canvas = drawPage(*view, page);
                QList<QPair<QRectF, QString>> inks; // what each text covers of its line, with the gap
                for (const auto &call : canvas.calls(cv::RecordingCanvas::Op::Text)) {
                    canvas.setFont(call.font);
                    const double wide = std::min(canvas.textWidth(call.text), call.rect.width());
                    const double x = call.align == cv::TextAlign::Left    ? call.rect.left()
                                     : call.align == cv::TextAlign::Right ? call.rect.right() - wide
                                                                          : call.rect.center().x() - wide / 2;
                    const QRectF ink(x - kGap / 2, call.rect.y(), wide + kGap, 0.5);
                    for (const auto &[other, text] : inks)
                        EXPECT_FALSE(other.intersects(ink))
                            << language << " kind " << kind << " page " << page << ": \"" << text.toStdString()
                            << "\" and \"" << call.text.toStdString() << "\"";
                    inks.append({ink, call.text});
                }
            }
        }
    }
}
