#include "platform/print/PageSetup.h"
#include "platform/print/PainterCanvas.h"
#include "platform/print/RecordingCanvas.h"

#include <QPainter>

#include <gmock/gmock.h>

TEST(PageSetupTest, PaperLiesAsTheOrientationSays)
{
    struct Case {
        const char *paper;
        int orientation;
        QSizeF points;
    } cases[] = {{"A4", cv::PageSetup::Portrait, {595, 842}},
                 {"A4", cv::PageSetup::Landscape, {842, 595}},
                 {"Letter", cv::PageSetup::Portrait, {612, 792}},
                 {"B5", cv::PageSetup::Landscape, {709, 499}},
                 {"no such paper", cv::PageSetup::Portrait, {595, 842}}};
    for (const Case &c : cases) {
        cv::PageSetup setup;
        setup.paperName = QString::fromLatin1(c.paper);
        setup.orientation = c.orientation;
        EXPECT_EQ(setup.paperSize(), c.points) << c.paper;
    }
}

// One point is 1/72 inch whatever the device: at 144 dpi a point is two pixels.
TEST(PainterCanvasTest, DrawsInPointsFromTheTopLeft)
{
    QImage image(200, 200, QImage::Format_ARGB32);
    const int dotsPerMeter = qRound(144 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        cv::PainterCanvas canvas(painter);
        canvas.fillRect(QRectF(10, 10, 20, 20), Qt::red);
        canvas.save();
        canvas.clipTo(QRectF(50, 50, 10, 10));
        canvas.fillRect(QRectF(40, 40, 60, 60), Qt::blue);
        canvas.restore();
    }
    EXPECT_EQ(image.pixelColor(21, 21), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(58, 58), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(62, 62), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(105, 105), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(125, 125), QColor(Qt::white)) << "clipped";
}

// Both canvases cut a long text at its tail to the box and leave short ones.
TEST(PainterCanvasTest, TruncationAgreesWithTheRecording)
{
    QImage image(10, 10, QImage::Format_ARGB32);
    const int dotsPerMeter = qRound(300 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    cv::PainterCanvas painted(painter);
    cv::RecordingCanvas recorded;
    const cv::CanvasFont font{QStringLiteral("Noto Sans CJK JP"), 11};
    painted.setFont(font);
    recorded.setFont(font);
    const QString longText = QStringLiteral("普通預金の長いメモ that runs on and on");
    for (cv::Canvas *canvas : {static_cast<cv::Canvas *>(&painted), static_cast<cv::Canvas *>(&recorded)}) {
        const QString cut = canvas->truncated(longText, 60);
        EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
        EXPECT_LE(canvas->textWidth(cut), 60.01);
        EXPECT_EQ(canvas->truncated(QStringLiteral("短い"), 60), QStringLiteral("短い"));
        EXPECT_NEAR(canvas->textWidth(QStringLiteral("M")), recorded.textWidth(QStringLiteral("M")), 0.5);
    }
    recorded.drawText(longText, QRectF(0, 0, 60, 14), cv::TextAlign::Right, true);
    recorded.drawText(longText, QRectF(0, 0, 60, 14), cv::TextAlign::Left, false);
    EXPECT_EQ(recorded.texts(), (QStringList{recorded.truncated(longText, 60), longText}));
}
