#pragma once
// The list shape shared by the search, investment, security, loan and
// currency prints: one table of columns, each row's cells side by side.

#include "print/PrintedPages.h"

#include <QRectF>

namespace cv {

template <class Row> class ListPrint : public PrintedPagesOf<Row> {
public:
    using Base = PrintedPagesOf<Row>;

    struct Shape {
        std::vector<PrintColumn> columns;
        bool headerBand = true;     // grey band on the header row
        bool levelZeroBand = false; // grey band on rows of level 0
        bool boxedLeftText = false; // left-aligned cells cut at the column's end
    };

    const std::vector<PrintColumn> &columns() const { return m_shape.columns; }

protected:
    ListPrint(typename Base::Callback callback, std::vector<Row> rows, cv::PageSetup &setup, int fixedOrientation,
              Shape shape)
        : Base(std::move(callback), std::move(rows), setup, 1, fixedOrientation), m_shape(std::move(shape))
    {
    }

    void drawContents(cv::Canvas &canvas) override
    {
        drawPageHead(canvas);
        this->walkRows(canvas, [&](int index, double top) { drawListRow(canvas, index, top); });
    }

    virtual void drawPageHead(cv::Canvas &canvas) { this->drawHead(canvas); }

    void drawListRow(cv::Canvas &canvas, int index, double top)
    {
        const Row &row = this->data()[size_t(index)];
        const double height = row.height();
        const bool header = row.level() == PrintedPagesParam::Header;
        if ((header && m_shape.headerBand) || (row.level() == 0 && m_shape.levelZeroBand))
            this->drawBand(canvas, top, height, 0.8);
        if (row.level() == PrintedPagesParam::NoTexts) return;
        const QStringList cells = this->cellsFor(index);
        const double lineTop = top + height - PrintedPages::kLineHeight;
        double x = this->leftX();
        const int count = std::min<int>(int(cells.size()), int(m_shape.columns.size()));
        for (int c = 0; c < count; ++c) {
            const PrintColumn &column = m_shape.columns[size_t(c)];
            const QString &text = cells[c];
            double cx = x;
            double width = column.width;
            x += column.width;
            if (text.isEmpty()) continue;
            if (header) {
                PrintedPages::drawCentered(canvas, text, QPointF(cx, lineTop), width);
                continue;
            }
            if (c == 0 && row.level() > 0) {
                const double indent = row.level() * PrintedPages::kIndentPerLevel;
                cx += indent;
                width -= indent;
            }
            switch (column.align) {
            case PrintColumn::R: PrintedPages::drawRightJustified(canvas, text, QPointF(cx, lineTop), width); break;
            case PrintColumn::M:
                PrintedPages::drawLeftJustified(canvas, text, QPointF(cx + width * 0.5, lineTop));
                break;
            case PrintColumn::L:
                if (m_shape.boxedLeftText)
                    PrintedPages::drawLeftJustified(canvas, text, QPointF(cx + PrintedPages::kTextInset, lineTop),
                                                    width - PrintedPages::kTextInset);
                else
                    PrintedPages::drawLeftJustified(canvas, text, QPointF(cx + PrintedPages::kTextInset, lineTop));
                break;
            }
        }
    }

private:
    Shape m_shape;
};

} // namespace cv
