#pragma once
// A yen book with a dollar currency, and a window that answers for its amount fields.

#include "controls/EditingTable.h"
#include "controls/CurrencyFieldEditor.h"
#include "controls/TableClient.h"
#include "document/AmountText.h"
#include "platform/Localization.h"

#include <QLineEdit>
#include <QObject>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <map>
#include <set>
#include <memory>

namespace cvtest {

inline constexpr int kYen = 1;
inline constexpr int kDollar = 2;

inline std::unique_ptr<cv::AmountText> makeYenBook()
{
    cv::setLanguageOverride(QStringLiteral("en"));
    auto currencies = std::make_shared<std::map<int, cv::CurrencyPtr>>();
    (*currencies)[kYen] =
        cv::Currency::currencyWith(QStringLiteral("Yen"), QStringLiteral("JPY"), QStringLiteral("¥"), 0);
    (*currencies)[kDollar] =
        cv::Currency::currencyWith(QStringLiteral("Dollar"), QStringLiteral("USD"), QStringLiteral("$"), 2);
    return std::make_unique<cv::AmountText>([currencies](int ident) -> cv::CurrencyPtr {
        const auto it = currencies->find(ident == 0 ? kYen : ident);
        return it == currencies->end() ? nullptr : it->second;
    });
}

class AmountWindow : public QWidget, public cv::CurrencyFieldOwner {
public:
    explicit AmountWindow(const cv::AmountText *amounts, int currency) : m_amounts(amounts), m_currency(currency)
    {
        auto *layout = new QVBoxLayout(this);
        field = new QLineEdit(this);
        layout->addWidget(field);
        cv::GetCurrencyFieldEditor()->attach(field);
    }
    const cv::AmountText *amountText() const override { return m_amounts; }
    int currency() const override { return m_currency; }

    QLineEdit *field;

private:
    const cv::AmountText *m_amounts;
    int m_currency;
};

// The owner of a table in tests: answers from a grid of texts and logs every
// call that changes something or decides a move ("verify c r m", "addItem",
// "set 'x' cid row", "editColumn c r"), so tests compare call logs.
class RecordingTableClient : public QObject, public cv::TableClient {
public:
    RecordingTableClient(int columns, int rows) : m_columns(columns)
    {
        for (int r = 0; r < rows; ++r) cells.push_back(QStringList(columns, QString()));
    }

    int numberOfRows(const cv::EditingTable *) const override { return int(cells.size()); }
    cv::CellValue objectValue(const cv::EditingTable *, int cid, int row) const override
    {
        ++valueCalls;
        if (row < 0 || row >= int(cells.size()) || cid < 0 || cid >= m_columns) return {};
        if (const auto it = styled.find({cid, row}); it != styled.end()) return QVariant::fromValue(it->second);
        return cells[size_t(row)][cid];
    }
    void setObjectValue(cv::EditingTable *, const QString &text, int cid, int row) override
    {
        log << QStringLiteral("set '%1' %2 %3").arg(text).arg(cid).arg(row);
        if (row >= 0 && row < int(cells.size())) cells[size_t(row)][cid] = text;
    }
    int firstUnfinishedColumnForRow(int row) const override
    {
        const auto it = unfinished.find(row);
        return it == unfinished.end() ? -1 : it->second;
    }
    int verifyEditableColumn(int column, int row, cv::Movement movement) override
    {
        log << QStringLiteral("verify %1 %2 %3").arg(column).arg(row).arg(int(movement));
        return column;
    }
    bool isColumnSelectable(const cv::EditingTable *, int cid, int row) const override
    {
        return !unselectable.count({cid, row});
    }
    void prepareCell(const cv::EditingTable *, cv::PreparedCell &cell, int cid, int) const override
    {
        if (const auto it = kinds.find(cid); it != kinds.end()) cell.kind = it->second;
        cell.showsButtons = showsButtons;
    }
    bool handleEscape() override
    {
        log << QStringLiteral("escape");
        return true;
    }
    void closeMaximizedPanel() override { log << QStringLiteral("closeMaximizedPanel"); }
    void addItem(cv::EditingTable *) override
    {
        log << QStringLiteral("addItem");
        if (addItemAddsRow) cells.push_back(QStringList(m_columns, QString()));
    }
    void editColumn(int column, int row, cv::PopupFieldEditor *editor) override
    {
        log << QStringLiteral("editColumn %1 %2").arg(column).arg(row);
        if (openChooser) openChooser(column, row, editor);
    }
    void performInputDate(const QDate &date) override
    {
        log << QStringLiteral("date %1").arg(date.toString(Qt::ISODate));
    }
    const cv::AmountText *amountText() const override { return amounts; }
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int) const override
    {
        const auto it = currencies.find(cid);
        if (it == currencies.end()) return std::nullopt;
        return it->second;
    }
    bool columnAllowsNegativeInput(int, int) const override { return allowsNegative; }
    QString refusalOf(const QString &text, int, int) const override { return refuses ? refuses(text) : QString(); }

    // The log without the verify lines, for tests about what was done.
    QStringList actions() const
    {
        QStringList out;
        for (const QString &line : log) {
            if (!line.startsWith(QStringLiteral("verify"))) out << line;
        }
        return out;
    }

    std::vector<QStringList> cells;
    std::map<int, int> unfinished;                        // row -> cid
    std::set<std::pair<int, int>> unselectable;           // (cid, row)
    std::map<int, cv::CellKind> kinds;                    // cid -> kind
    std::map<int, cv::CellCurrency> currencies;           // cid -> amount currency
    std::map<std::pair<int, int>, cv::StyledText> styled; // (cid, row) -> value
    const cv::AmountText *amounts = nullptr;
    bool addItemAddsRow = true;
    bool allowsNegative = true;
    bool showsButtons = true;
    std::function<void(int column, int row, cv::PopupFieldEditor *editor)> openChooser; // on editColumn
    std::function<QString(const QString &text)> refuses;                                // why a text is not stored
    mutable int valueCalls = 0;
    QStringList log;

private:
    int m_columns;
};

// A table of plain columns 0..n-1 (ids equal positions) over a client.
inline std::unique_ptr<cv::EditingTable> makeTable(RecordingTableClient &client, int columns, int width = 90)
{
    auto table = std::make_unique<cv::EditingTable>();
    for (int c = 0; c < columns; ++c)
        table->addColumn(std::make_unique<cv::TableColumn>(c, QStringLiteral("C%1").arg(c), width));
    table->setClient(&client);
    table->resize(columns * width + 40, 300);
    return table;
}

} // namespace cvtest
