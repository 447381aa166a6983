#include "model/Settings.h"

#include "platform/Logging.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

#include <algorithm>

namespace cv {

namespace {

const QString kVerifierKey = QStringLiteral("passwdVerifier");
const QString kLegacyPasswordKey = QStringLiteral("passwd");
const QString kVerifierScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
// A stored verifier outside these bounds is damaged or hostile: refuse it
// rather than spend minutes deriving.
constexpr int kMinIterations = 100000;
constexpr int kMaxIterations = Settings::kMaxPasswordIterations;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              kKeyBytes);
}

QString makeVerifier(const QString &password)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    const QByteArray key = derive(password, salt, Settings::kPasswordIterations);
    return kVerifierScheme + u'$' + QString::number(Settings::kPasswordIterations) + u'$' +
           QString::fromLatin1(salt.toBase64()) + u'$' + QString::fromLatin1(key.toBase64());
}

bool constantTimeEqual(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// Modulo that stays in [0, k) for negative operands.
int floorMod(int a, int k)
{
    return ((a % k) + k) % k;
}

} // namespace

void Settings::setPassword(const QString &password)
{
    m_passwordVerifier = password.isEmpty() ? QString() : makeVerifier(password);
}

bool Settings::verifyPassword(const QString &entry) const
{
    if (!hasPassword()) return entry.isEmpty();
    const QStringList parts = m_passwordVerifier.split(u'$');
    if (parts.size() != 4 || parts[0] != kVerifierScheme) return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < kMinIterations || iterations > kMaxIterations) return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (salt.size() < kSaltBytes || expected.size() != kKeyBytes) return false;
    return constantTimeEqual(derive(entry, salt, iterations), expected);
}

QDate Settings::fiscalDate(const QDate &date, int mode) const
{
    if (!date.isValid()) return date;
    const int firstDay = m_fiscalDayOfMonth + 1;
    switch (mode) {
    case 0: return date;
    case 1: return date.addDays(-floorMod(date.dayOfWeek() % 7 - m_fiscalWeekday, 7));
    case 2:
    case 3:
    case 4:
    case 5: {
        QDate month = date.day() >= firstDay ? date : date.addMonths(-1);
        month = QDate(month.year(), month.month(), firstDay);
        if (mode == 2) return month;
        // Count from the fiscal month, not the calendar month, so that a date
        // before day FDM + 1 belongs to the period its fiscal month is in.
        const int k = mode == 3 ? 3 : mode == 4 ? 6 : 12;
        const QDate start = month.addMonths(-floorMod(month.month() - m_fiscalMonthOfYear + 11, k));
        return QDate(start.year(), start.month(), firstDay);
    }
    default: return date;
    }
}

void Settings::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    const auto writeNonZero = [&coder](const char *key, int value) {
        if (value != 0) coder.encodeInt(QString::fromLatin1(key), value);
    };
    coder.encodeInt(QStringLiteral("revision"), m_revision);
    if (hasPassword()) coder.encodeObject(kVerifierKey, m_passwordVerifier);
    writeNonZero("viewerFontSize", m_viewerFontSize);
    writeNonZero("viewerCellWidth", m_viewerCellWidth);
    writeNonZero("viewerSummary", m_viewerSummary);
    writeNonZero("budgetCellWidth", m_budgetCellWidth);
    writeNonZero("FMY", m_fiscalMonthOfYear);
    writeNonZero("FDM", m_fiscalDayOfMonth);
    writeNonZero("FWD", m_fiscalWeekday);
    writeNonZero("viewerUnit", m_viewerUnit);
    writeNonZero("budgetUnit", m_budgetUnit);
    writeNonZero("transDefaultCurrency", m_transDefaultCurrency);
    if (m_displayStockPrice) coder.encodeBool(QStringLiteral("displayStockPrice"), true);
    writeNonZero("SPLITHEIGHT", m_splitHeight);
    writeNonZero("SPLITWIDTH", m_splitWidth);
    writeNonZero("SPLITX", m_splitX);
    writeNonZero("SPLITY", m_splitY);
    writeNonZero("WINDOWHEIGHT", m_windowHeight);
    writeNonZero("WINDOWWIDTH", m_windowWidth);
    writeNonZero("WINDOWX", m_windowX);
    writeNonZero("WINDOWY", m_windowY);
    if (!m_extraSecurities.isNull()) coder.encodeObject(QStringLiteral("EXTRABRANDS"), m_extraSecurities);
    if (!m_extraInvests.isNull()) coder.encodeObject(QStringLiteral("EXTRAINVESTS"), m_extraInvests);
    m_changed = false;
}

bool Settings::initWithCoder(cv::KeyedUnarchiver &coder)
{
    const auto readInt = [&coder](const char *key) { return coder.decodeIntForKey(QString::fromLatin1(key)); };
    setRevision(readInt("revision"));
    m_passwordVerifier = coder.decodeStringForKey(kVerifierKey).value_or(QString());
    if (m_passwordVerifier.isEmpty()) {
        // Older documents kept the password itself; from now on only its verifier.
        setPassword(coder.decodeStringForKey(kLegacyPasswordKey).value_or(QString()));
    } else if (!m_passwordVerifier.startsWith(kVerifierScheme + u'$')) {
        qCWarning(lcModel) << "settings: unreadable password verifier; no entry will open the document";
    }
    setViewerFontSize(readInt("viewerFontSize"));
    setViewerCellWidth(readInt("viewerCellWidth"));
    setViewerSummary(readInt("viewerSummary"));
    setBudgetCellWidth(readInt("budgetCellWidth"));
    setFiscalMonthOfYear(readInt("FMY"));
    setFiscalDayOfMonth(readInt("FDM"));
    setFiscalWeekday(readInt("FWD"));
    setViewerUnit(readInt("viewerUnit"));
    setBudgetUnit(readInt("budgetUnit"));
    setTransDefaultCurrency(readInt("transDefaultCurrency"));
    setDisplayStockPrice(coder.decodeBoolForKey(QStringLiteral("displayStockPrice")));
    setSplitHeight(readInt("SPLITHEIGHT"));
    setSplitWidth(readInt("SPLITWIDTH"));
    setSplitX(readInt("SPLITX"));
    setSplitY(readInt("SPLITY"));
    setWindowHeight(readInt("WINDOWHEIGHT"));
    setWindowWidth(readInt("WINDOWWIDTH"));
    setWindowX(readInt("WINDOWX"));
    setWindowY(readInt("WINDOWY"));
    setExtraSecurities(coder.decodeObjectForKey(QStringLiteral("EXTRABRANDS")));
    setExtraInvests(coder.decodeObjectForKey(QStringLiteral("EXTRAINVESTS")));
    clearChanged();
    return !coder.failed();
}

} // namespace cv
