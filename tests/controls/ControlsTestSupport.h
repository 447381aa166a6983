#pragma once
// A yen book with a dollar currency, and a window that answers for its amount fields.

#include "controls/CurrencyFieldEditor.h"
#include "document/AmountText.h"
#include "platform/Localization.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <map>
#include <memory>

namespace cvtest {

inline constexpr int kYen = 1;
inline constexpr int kDollar = 2;

inline std::unique_ptr<cv::AmountText> makeYenBook()
{
    cv::setLanguageOverride(QStringLiteral("en"));
    auto currencies = std::make_shared<std::map<int, CV4CurrencyPtr>>();
    (*currencies)[kYen] = CV4Currency::currencyWith(QStringLiteral("Yen"), QStringLiteral("JPY"), QStringLiteral("¥"), 0);
    (*currencies)[kDollar] =
        CV4Currency::currencyWith(QStringLiteral("Dollar"), QStringLiteral("USD"), QStringLiteral("$"), 2);
    return std::make_unique<cv::AmountText>([currencies](int ident) -> CV4CurrencyPtr {
        const auto it = currencies->find(ident == 0 ? kYen : ident);
        return it == currencies->end() ? nullptr : it->second;
    });
}

class AmountWindow : public QWidget, public CurrencyFieldOwner {
public:
    explicit AmountWindow(const cv::AmountText *amounts, int currency) : m_amounts(amounts), m_currency(currency)
    {
        auto *layout = new QVBoxLayout(this);
        field = new QLineEdit(this);
        layout->addWidget(field);
        GetCurrencyFieldEditor()->attach(field);
    }
    const cv::AmountText *amountText() const override { return m_amounts; }
    int currency() const override { return m_currency; }

    QLineEdit *field;

private:
    const cv::AmountText *m_amounts;
    int m_currency;
};

} // namespace cvtest
