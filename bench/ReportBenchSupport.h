#pragma once
// What the benchmarks of reports and charts share: A4 paper, the check marks
// of the book's trees, and pages drawn in turn on an image the size of the
// paper, as a printer of that resolution gets them.

#include "document/Book.h"
#include "reports/ReportRow.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "platform/print/PagedDocument.h"
#include "platform/print/PainterCanvas.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <vector>

namespace cv::bench {

inline PageSetup a4(const QMarginsF &margins, int orientation = PageSetup::Portrait)
{
    PageSetup setup;
    setup.orientation = orientation;
    setup.margins = margins;
    return setup;
}

inline void tickSubtree(cv::Node &node, int status)
{
    node.setStatus(status);
    for (const cv::NodePtr &child : node.children()) tickSubtree(*child, status);
}

// Every node of the four trees, as a report reads them.
inline void tickTrees(cv::Book &doc, int status)
{
    for (const cv::NodePtr &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt(),
                                    doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
        tickSubtree(*root, status);
}

// A digest of a report's rows (figures to a ten-thousandth, texts), for
// telling two builds' rows apart on a book too large to keep them; the low
// 48 bits, which a counter holds exactly.
inline double rowsDigest(const std::vector<cv::ReportRow> &rows)
{
    size_t digest = 0;
    for (const cv::ReportRow &row : rows) {
        QString line = QString::number(row.level) + u'|' + QString::number(row.number) + u'|' +
                       (row.node ? QString::number(row.node->ident()) : QString());
        for (double v : row.values) line += u'|' + QString::number(v == 0 ? 0 : v, 'f', 4);
        line += u'|' + row.texts.join(u'|');
        digest = digest * 1000003 ^ qHash(line, 0);
    }
    return double(digest & ((size_t(1) << 48) - 1));
}

// Each iteration draws the next of sheets 1 to `sheets`, then starts again.
inline void drawSheetsInTurn(benchmark::State &state, PagedDocument &document, int sheets, double dpi = 72)
{
    QImage image((document.pageSetup().paperSize() * dpi / 72).toSize(), QImage::Format_RGB32);
    if (dpi != 72) {
        image.setDotsPerMeterX(int(dpi / 0.0254));
        image.setDotsPerMeterY(int(dpi / 0.0254));
    }
    int sheet = 0;
    for (auto _ : state) {
        sheet = sheet % sheets + 1;
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        document.drawSheet(sheet, canvas);
    }
}

} // namespace cv::bench
