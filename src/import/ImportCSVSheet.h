#pragma once
// The price and rate list import sheet: dated prices of one security, or
// dated rates of one currency, read from a comma- or tab-separated file;
// single values can be corrected and lines excluded, and OK stores every
// included value in file order in one edit (the last value of a day stays).
// The caller refreshes the caches and tells the windows.

#include "controls/Tags.h"
#include "import/ImportSheet.h"
#include "model/DatedPrice.h"

#include <functional>
#include <optional>
#include <vector>

namespace cv {

class ImportCSVSheet : public cv::ImportSheet {
    Q_OBJECT
public:
    enum Column { DateColumn, PriceColumn, ColumnCount };
    enum MenuTag { MenuExclude = cv::tag::CSVImportMenu.first, MenuInclude };
    static_assert(MenuInclude == cv::tag::CSVImportMenu.last);

    ImportCSVSheet(Book *document, int target, bool isSecurity, QWidget *parent = nullptr);

    // Open as a sheet under the sheet tracker; `done` gets 1 after the values were stored.
    static ImportCSVSheet *openForSecurity(Book *document, int security, QWidget *parent,
                                           std::function<void(int)> done);
    static ImportCSVSheet *openForCurrency(Book *document, int currency, QWidget *parent,
                                           std::function<void(int)> done);

    bool loadFile(const QString &path) override;
    void okPushed() override;
    void menuSelected(int tag) override;

    const std::vector<DatedPricePtr> &values() const { return m_values; }
    QString cellText(int column, int row) const override;

private:
    // A value's text read as the target's values are; none when it is no number.
    std::optional<double> currencyValueForString(QStringView text) const;
    void buildWindow();
    void updateButtons() override;
    int currency() const;
    bool isStock() const;
    bool setText(int column, int row, const QString &text);

    int m_target; // a security or currency ident
    bool m_isSecurity;
    std::vector<DatedPricePtr> m_values; // in file order, owned; flags bit 1 = excluded
};

} // namespace cv
