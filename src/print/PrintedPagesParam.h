#pragma once
// One printed row of a print view: a data row at its outline depth, or one of
// the negative kinds below. Each view adds what its owner needs to find the
// row's texts.

#include <vector>

namespace cv {

class PrintedPagesParam {
public:
    enum Level {
        Blank = -1,     // empty space
        PageBreak = -2, // ends the page; takes no space
        Rule = -3,      // 2-point bar across the sheet
        ThinRule = -4,  // 1-point bar
        Header = -10,   // column titles on a grey band
        NoTexts = -11,  // a grey band without texts
    };
    static constexpr float kDefaultHeight = 14;
    static constexpr float kRuleHeight = 4;

    PrintedPagesParam() = default;
    PrintedPagesParam(int level, float height = kDefaultHeight) : m_level(level), m_height(height) {}

    int level() const { return m_level; }
    void setLevel(int level) { m_level = level; }
    float height() const { return m_height; }
    void setHeight(float height) { m_height = height; }
    bool isHeader() const { return m_level == Header; }

    template <class Row> static void addLineTo(std::vector<Row> &rows) { rows.push_back(made<Row>(Rule, kRuleHeight)); }
    template <class Row> static void addThinlineTo(std::vector<Row> &rows)
    {
        rows.push_back(made<Row>(ThinRule, kRuleHeight));
    }
    template <class Row> static void addBlankTo(std::vector<Row> &rows)
    {
        rows.push_back(made<Row>(Blank, kDefaultHeight));
    }
    template <class Row> static void addPageTo(std::vector<Row> &rows)
    {
        rows.push_back(made<Row>(PageBreak, kDefaultHeight));
    }

private:
    template <class Row> static Row made(int level, float height)
    {
        Row row;
        row.setLevel(level);
        row.setHeight(height);
        return row;
    }

    int m_level = 0;
    float m_height = kDefaultHeight;
};

} // namespace cv
