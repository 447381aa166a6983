#pragma once
// One security of a document (stored as a "brand"): a stock, investment trust or bond.
// The document keeps an ordered list of them and archives it whole; holdings,
// trades and prices refer to a security by its ident.

#include "model/DomainEnums.h"
#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>

namespace cv {

class Security : public cv::KeyedArchivable {
public:
    Security() = default;

    // Market code of a market name, ignoring case; -1 for an unlisted name.
    static int marketForString(const QString &name);

    int ident() const { return m_ident; }
    void setIdent(int ident) { m_ident = ident; }
    QString name() const { return m_name.isNull() ? QStringLiteral("") : m_name; }
    void setName(const QString &name) { m_name = name; }
    cv::SecurityKind kind() const { return m_kind; }
    void setKind(cv::SecurityKind kind) { m_kind = kind; }
    int code() const { return m_code; }
    void setCode(int code) { m_code = code; }
    QString symbol() const { return m_symbol.isNull() ? QStringLiteral("") : m_symbol; }
    void setSymbol(const QString &symbol) { m_symbol = symbol; }
    int market() const { return m_market; }
    void setMarket(int market) { m_market = market; }
    int currency() const { return m_currency; }
    void setCurrency(int currency) { m_currency = currency; }
    // 0 low, 1 middle, 2 high.
    int risk() const { return m_risk; }
    void setRisk(int risk) { m_risk = risk; }
    bool hidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    bool isVisible() const { return !m_hidden; }
    void setVisible(bool visible) { m_hidden = !visible; }
    // Check state in the report and chart selection lists; never archived.
    int intValue() const { return m_outlineState; }
    int outlineState() const { return m_outlineState; }
    void setOutlineState(int state) { m_outlineState = state; }

    // Localised names of the kind and the risk; none for an unknown value.
    QString kindName() const;
    QString riskDescription() const;

    QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4Brand"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_ident = -1;
    QString m_name;
    cv::SecurityKind m_kind = cv::SecurityKind::Stock;
    int m_code = 0;
    QString m_symbol;
    int m_market = 0;
    int m_currency = 0;
    int m_risk = 0;
    bool m_hidden = false;
    int m_outlineState = 0;
};

using SecurityPtr = std::shared_ptr<Security>;

} // namespace cv
