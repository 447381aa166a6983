#pragma once
// Shared by the store's source files only.

#include <QString>

namespace cv::store {

inline const QString TB_INFO = QStringLiteral("InfoTable");
inline const QString TB_LOAN = QStringLiteral("LoanTable");
inline const QString TB_ACTUAL = QStringLiteral("ActualTable");
inline const QString TB_PRICE = QStringLiteral("PriceTable");
inline const QString TB_TRADE = QStringLiteral("TradeTable");
inline const QString TB_EXCHANGE = QStringLiteral("ExchangeTable");

// Stored numbers: amounts keep two decimals, units, prices and rates six. The
// rounding to that text is part of the stored value.
QString amountText(double value);
QString fixed6Text(double value);

} // namespace cv::store
