#pragma once
// The list shape shared by the search, investment, security, loan and
// currency prints: one table of columns, each row's cells side by side.

#include "charts/CV4InfoView.h"

#include <QRectF>

template <class Row> class CV4InfoListView : public CV4InfoViewOf<Row> {
public:
    using Base = CV4InfoViewOf<Row>;

    struct Shape {
        std::vector<CV4InfoColumn> columns;
        bool headerBand = true;     // grey band on the header row
        bool levelZeroBand = false; // grey band on rows of level 0
        bool boxedLeftText = false; // left-aligned cells cut at the column's end
    };

    const std::vector<CV4InfoColumn> &columns() const { return m_shape.columns; }

protected:
    CV4InfoListView(typename Base::Callback callback, std::vector<Row> rows, cv::PageSetup &setup,
                    int fixedOrientation, Shape shape)
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
        const bool header = row.level() == CV4InfoViewParam::Header;
        if ((header && m_shape.headerBand) || (row.level() == 0 && m_shape.levelZeroBand))
            this->drawBand(canvas, top, height, 0.8);
        if (row.level() == CV4InfoViewParam::NoTexts)
            return;
        const QStringList cells = this->cellsFor(index);
        const double lineTop = top + height - CV4InfoView::kLineHeight;
        double x = this->leftX();
        const int count = std::min<int>(int(cells.size()), int(m_shape.columns.size()));
        for (int c = 0; c < count; ++c) {
            const CV4InfoColumn &column = m_shape.columns[size_t(c)];
            const QString &text = cells[c];
            double cx = x;
            double width = column.width;
            x += column.width;
            if (text.isEmpty())
                continue;
            if (header) {
                CV4InfoView::drawCentered(canvas, text, QPointF(cx, lineTop), width);
                continue;
            }
            if (c == 0 && row.level() > 0) {
                const double indent = row.level() * CV4InfoView::kIndentPerLevel;
                cx += indent;
                width -= indent;
            }
            switch (column.align) {
            case CV4InfoColumn::R:
                CV4InfoView::drawRightJustified(canvas, text, QPointF(cx, lineTop), width);
                break;
            case CV4InfoColumn::M:
                CV4InfoView::drawLeftJustified(canvas, text, QPointF(cx + width * 0.5, lineTop));
                break;
            case CV4InfoColumn::L:
                if (m_shape.boxedLeftText)
                    CV4InfoView::drawLeftJustified(canvas, text, QPointF(cx + CV4InfoView::kTextInset, lineTop),
                                                     width - CV4InfoView::kTextInset);
                else
                    CV4InfoView::drawLeftJustified(canvas, text, QPointF(cx + CV4InfoView::kTextInset, lineTop));
                break;
            }
        }
    }

private:
    Shape m_shape;
};
