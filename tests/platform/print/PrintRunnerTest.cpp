#include "platform/print/Canvas.h"
#include "platform/print/PagedDocument.h"
#include "platform/print/PrintRunner.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gmock/gmock.h>

namespace {

class CountingDocument : public cv::PagedDocument {
public:
    cv::PageSetup pageSetup() const override { return m_setup; }
    void setPageSetup(const cv::PageSetup &setup) override
    {
        m_setup = setup;
        ++m_layouts;
    }
    int sheetCount() const override { return 3; }
    void drawSheet(int sheet, cv::Canvas &canvas) override
    {
        m_drawn.push_back(sheet);
        canvas.drawText(QStringLiteral("Sheet %1").arg(sheet), QRectF(36, 36, 200, 14), cv::TextAlign::Left, true);
    }

    cv::PageSetup m_setup;
    std::vector<int> m_drawn;
    int m_layouts = 0;
};

} // namespace

TEST(PrintRunnerTest, PdfAndPreviewDrawEverySheetWithoutRelayingOut)
{
    QTemporaryDir dir;
    CountingDocument document;
    document.m_setup.orientation = cv::PageSetup::Landscape;
    const QString file = dir.filePath(QStringLiteral("out.pdf"));
    const auto pdf = cv::PrintRunner::run(document, cv::PrintRunner::Mode::Pdf, nullptr, file);
    EXPECT_TRUE(pdf.printed);
    EXPECT_GT(QFileInfo(file).size(), 0);
    EXPECT_EQ(document.m_drawn, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(pdf.setup.orientation, cv::PageSetup::Landscape);
    EXPECT_FALSE(cv::PrintRunner::run(document, cv::PrintRunner::Mode::Pdf, nullptr, QString()).printed);

    // The preview paints the sheets as it opens; the test closes it then.
    document.m_drawn.clear();
    QElapsedTimer waited;
    waited.start();
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog && (!document.m_drawn.empty() || waited.elapsed() > 5000)) dialog->reject();
    });
    closer.start(10);
    const auto preview = cv::PrintRunner::run(document, cv::PrintRunner::Mode::Preview, nullptr);
    EXPECT_FALSE(preview.printed);
    EXPECT_THAT(document.m_drawn, ::testing::IsSupersetOf({1, 2, 3}));
    EXPECT_EQ(document.m_layouts, 0) << "the printer's paper is the document's";
}
