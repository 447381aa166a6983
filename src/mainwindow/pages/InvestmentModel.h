#pragma once
// The investment page's outline: account rows and the total row at the top,
// holdings below their account, trades below their holding. Cells are asked
// of the report when painted; a rebuild of the report resets the model.

#include "document/InvestmentStatus.h"

#include <QAbstractItemModel>
#include <QColor>

#include <functional>
#include <memory>
#include <vector>

namespace cv {

class InvestmentModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The alternate background of trade rows.
    static QColor alternateColor() { return QColor::fromRgbF(237 / 255.0, 243 / 255.0, 254 / 255.0); }

    InvestmentModel(const InvestmentStatus &report, QObject *parent = nullptr);
    ~InvestmentModel() override;

    // Builds the report again (through `rebuild`) inside a model reset, so
    // no view reads rows that are gone.
    void reset(const std::function<void()> &rebuild);
    // The same, but rows that keep their place keep their indexes: when the
    // new report has the old one's shape only values change (no reset).
    void refresh(const std::function<void()> &rebuild);
    // Figures in the default currency, or each in its own.
    void setConvert(bool convert);
    bool convert() const { return m_convert; }
    void setColors(const QColor &category, const QColor &title);

    const InvestmentStatus::Row *rowAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Node {
        InvestmentStatus::Row row;
        Node *parent = nullptr;
        int index = 0;
        std::vector<std::unique_ptr<Node>> children;
    };
    void buildNodes();
    void refreshValues(const QModelIndex &parent);
    const Node *nodeOf(const QModelIndex &index) const;

    const InvestmentStatus &m_report;
    Node m_root;
    bool m_convert = false;
    QColor m_categoryColor;
    QColor m_titleColor;
};

} // namespace cv
