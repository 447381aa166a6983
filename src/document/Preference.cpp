#include "document/Preference.h"

#include <QSettings>
#include <QVariantList>

#include <cmath>
#include <limits>
#include <optional>

namespace cv {

namespace {

const QString kLeftMargin = QStringLiteral("NSPrintLeftMargin");
const QString kRightMargin = QStringLiteral("NSPrintRightMargin");
const QString kTopMargin = QStringLiteral("NSPrintTopMargin");
const QString kBottomMargin = QStringLiteral("NSPrintBottomMargin");
const QString kPaperMeasurement = QStringLiteral("CVPaperMeasurement");
const QString kCategoryColor = QStringLiteral("CVCategoryColor");
const QString kTitleColor = QStringLiteral("CVTitleColor");
const QString kFutureColor = QStringLiteral("CVFutureColor");
const QString kAutoPriceUpdate = QStringLiteral("CVAutoPriceUpdate");
const QString kStartupOption = QStringLiteral("CVStartupOption");
const QString kBackupCount = QStringLiteral("CVBackupCount");
const QString kTaxFracProcess = QStringLiteral("CVTaxFracProcess");

std::optional<double> readNumber(const QSettings &settings, const QString &key)
{
    if (!settings.contains(key)) return std::nullopt;
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Integers are cut toward zero, as a stored 1.7 means 1.
std::optional<int> readInt(const QSettings &settings, const QString &key)
{
    const std::optional<double> value = readNumber(settings, key);
    if (!value || std::fabs(*value) > double(std::numeric_limits<int>::max())) return std::nullopt;
    return int(std::trunc(*value));
}

// A colour is four floats, red, green, blue and alpha from 0 to 1. Anything
// else keeps the colour there was.
std::optional<QColor> readColor(const QSettings &settings, const QString &key)
{
    if (!settings.contains(key)) return std::nullopt;
    const QVariantList parts = settings.value(key).toList();
    if (parts.size() != 4) return std::nullopt;
    float c[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const double v = parts.at(i).toDouble(&ok);
        if (!ok || !(v >= 0 && v <= 1)) return std::nullopt;
        c[i] = float(v);
    }
    return QColor::fromRgbF(c[0], c[1], c[2], c[3]);
}

QVariantList colorValue(const QColor &color)
{
    float r = 0, g = 0, b = 0, a = 0;
    color.getRgbF(&r, &g, &b, &a);
    return {double(r), double(g), double(b), double(a)};
}

} // namespace

Preference::Preference(const QSettings &settings)
{
    initContents();
    read(settings);
}

Preference Preference::fromUserDefaults()
{
    const QSettings settings;
    return Preference(settings);
}

void Preference::initContents()
{
    resetPrintParam();
    resetViewParam();
    resetMiscParam();
}

void Preference::resetPrintParam()
{
    m_leftTopMargin = QSizeF(18.0, 18.0);
    m_rightBottomMargin = QSizeF(18.0, 18.0);
}

void Preference::resetViewParam()
{
    m_categoryColor = QColor::fromRgbF(0.711085f, 0.805241f, 0.913725f, 1.0f);
    m_titleColor = QColor::fromRgbF(0.9f, 0.9f, 0.9f, 1.0f);
    m_futureColor = QColor::fromRgbF(0.0f, 0.0f, 1.0f, 1.0f);
}

void Preference::resetMiscParam()
{
    m_autoPriceUpdate = true;
    m_showInitialPanel = true;
    m_backupCount = 5;
    m_taxFracProcess = 0;
}

void Preference::read(const QSettings &settings)
{
    // Margins are 32-bit floats in the stored form.
    if (const auto v = readNumber(settings, kLeftMargin)) m_leftTopMargin.setWidth(float(*v));
    if (const auto v = readNumber(settings, kRightMargin)) m_rightBottomMargin.setWidth(float(*v));
    if (const auto v = readNumber(settings, kTopMargin)) m_leftTopMargin.setHeight(float(*v));
    if (const auto v = readNumber(settings, kBottomMargin)) m_rightBottomMargin.setHeight(float(*v));
    if (const auto v = readInt(settings, kPaperMeasurement)) m_paperMeasurement = *v;
    if (const auto c = readColor(settings, kCategoryColor)) m_categoryColor = *c;
    if (const auto c = readColor(settings, kTitleColor)) m_titleColor = *c;
    if (const auto c = readColor(settings, kFutureColor)) m_futureColor = *c;
    // Both flags are stored inverted; only the lowest bit counts.
    if (const auto v = readInt(settings, kAutoPriceUpdate)) m_autoPriceUpdate = (*v & 1) == 0;
    if (const auto v = readInt(settings, kStartupOption)) m_showInitialPanel = (*v & 1) == 0;
    if (const auto v = readInt(settings, kBackupCount)) m_backupCount = *v;
    if (const auto v = readInt(settings, kTaxFracProcess)) m_taxFracProcess = *v;
}

void Preference::save() const
{
    QSettings settings;
    save(settings);
}

void Preference::save(QSettings &settings) const
{
    settings.setValue(kLeftMargin, double(float(m_leftTopMargin.width())));
    settings.setValue(kRightMargin, double(float(m_rightBottomMargin.width())));
    settings.setValue(kTopMargin, double(float(m_leftTopMargin.height())));
    settings.setValue(kBottomMargin, double(float(m_rightBottomMargin.height())));
    settings.setValue(kPaperMeasurement, m_paperMeasurement);
    settings.setValue(kCategoryColor, colorValue(m_categoryColor));
    settings.setValue(kTitleColor, colorValue(m_titleColor));
    settings.setValue(kFutureColor, colorValue(m_futureColor));
    settings.setValue(kAutoPriceUpdate, m_autoPriceUpdate ? 0 : 1);
    settings.setValue(kStartupOption, m_showInitialPanel ? 0 : 1);
    settings.setValue(kBackupCount, m_backupCount);
    settings.setValue(kTaxFracProcess, m_taxFracProcess);
    settings.sync();
}

} // namespace cv
