#pragma once
// Everything of one household book that is not financial data: the fiscal
// calendar, the viewer and budget layout, the main window's geometry and the
// document password. Archived into the document when `changed` is set.

#include "platform/KeyedArchiver.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace cv {

class Settings : public cv::KeyedArchivable {
public:
    static constexpr int kCurrentRevision = 512;
    // Iterations of new password verifiers.
    static constexpr int kPasswordIterations = 100000;
    // More is a crafted verifier that would stall every try: refused unread.
    static constexpr int kMaxPasswordIterations = 4 * kPasswordIterations;

    Settings() = default;

    int revision() const { return m_revision; }
    void setRevision(int value) { m_revision = value; }
    void setCurrentRevision() { m_revision = kCurrentRevision; }

    // The password itself is never kept: only a salted verifier. An empty
    // password removes the protection.
    bool hasPassword() const { return !m_passwordVerifier.isEmpty(); }
    void setPassword(const QString &password);
    // Without a password only an empty entry is right.
    bool verifyPassword(const QString &entry) const;

    int viewerFontSize() const { return m_viewerFontSize == 0 ? 3 : m_viewerFontSize; }
    void setViewerFontSize(int value) { setIfDiffers(m_viewerFontSize, value); }
    int viewerCellWidth() const { return m_viewerCellWidth; }
    void setViewerCellWidth(int value) { setIfDiffers(m_viewerCellWidth, value); }
    int viewerSummary() const { return m_viewerSummary; }
    void setViewerSummary(int value) { setAlways(m_viewerSummary, value); }
    int budgetCellWidth() const { return m_budgetCellWidth; }
    void setBudgetCellWidth(int value) { setAlways(m_budgetCellWidth, value); }

    // Zero-based: month 0 is January, day 0 the 1st; weekday 0 is Sunday.
    int fiscalMonthOfYear() const { return m_fiscalMonthOfYear; }
    void setFiscalMonthOfYear(int value) { setAlways(m_fiscalMonthOfYear, value); }
    int fiscalDayOfMonth() const { return m_fiscalDayOfMonth; }
    // Kept within 0-27 (the 1st to the 28th), so that every month has the
    // day and every user of it sees the same value, also from a damaged book.
    void setFiscalDayOfMonth(int value) { setAlways(m_fiscalDayOfMonth, std::clamp(value, 0, 27)); }
    int fiscalWeekday() const { return m_fiscalWeekday; }
    void setFiscalWeekday(int value) { setAlways(m_fiscalWeekday, value); }

    // Period codes: 0 day, 1 week, 2 month, 3 quarter, 4 half year, 5 year.
    int viewerUnit() const { return m_viewerUnit; }
    void setViewerUnit(int value) { setAlways(m_viewerUnit, value); }
    int budgetUnit() const { return m_budgetUnit; }
    void setBudgetUnit(int value) { setAlways(m_budgetUnit, value); }
    int transDefaultCurrency() const { return m_transDefaultCurrency; }
    void setTransDefaultCurrency(int value) { setAlways(m_transDefaultCurrency, value); }
    bool displayStockPrice() const { return m_displayStockPrice; }
    void setDisplayStockPrice(bool value) { setIfDiffers(m_displayStockPrice, value); }

    int splitHeight() const { return m_splitHeight; }
    void setSplitHeight(int value) { setIfDiffers(m_splitHeight, value); }
    int splitWidth() const { return m_splitWidth; }
    void setSplitWidth(int value) { setIfDiffers(m_splitWidth, value); }
    int splitX() const { return m_splitX; }
    void setSplitX(int value) { setIfDiffers(m_splitX, value); }
    int splitY() const { return m_splitY; }
    void setSplitY(int value) { setIfDiffers(m_splitY, value); }
    int windowHeight() const { return m_windowHeight; }
    void setWindowHeight(int value) { setIfDiffers(m_windowHeight, value); }
    int windowWidth() const { return m_windowWidth; }
    void setWindowWidth(int value) { setIfDiffers(m_windowWidth, value); }
    int windowX() const { return m_windowX; }
    void setWindowX(int value) { setIfDiffers(m_windowX, value); }
    int windowY() const { return m_windowY; }
    void setWindowY(int value) { setIfDiffers(m_windowY, value); }

    // Kept and archived unchanged for older versions; nothing reads them.
    const cv::ArchiveValue &extraSecurities() const { return m_extraSecurities; }
    void setExtraSecurities(const cv::ArchiveValue &value) { m_extraSecurities = value; }
    const cv::ArchiveValue &extraInvests() const { return m_extraInvests; }
    void setExtraInvests(const cv::ArchiveValue &value) { m_extraInvests = value; }

    bool changed() const { return m_changed; }
    void setChanged() { markChanged(); }
    void clearChanged() { m_changed = false; }
    // Called when `changed` turns on, so the book's edited mark can follow
    // at once (a unit switch or a window move is an edit of the book).
    void setChangeListener(std::function<void()> listener) { m_changeListener = std::move(listener); }

    // First day of the period of the given code that holds the date.
    QDate fiscalDate(const QDate &date, int mode) const;
    int fiscalMonth(const QDate &date) const { return fiscalDate(date, 2).month(); }
    int fiscalYear(const QDate &date) const { return fiscalDate(date, 5).year(); }

    QString archiveClassName() const override { return QStringLiteral("CV4Settings"); }
    // Writing the archive clears `changed`.
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    template <class T> void setIfDiffers(T &field, T value)
    {
        const bool differs = field != value;
        field = value;
        if (differs) markChanged();
    }
    template <class T> void setAlways(T &field, T value)
    {
        field = value;
        markChanged();
    }
    void markChanged()
    {
        if (std::exchange(m_changed, true) || !m_changeListener) return;
        m_changeListener();
    }

    int m_revision = kCurrentRevision;
    QString m_passwordVerifier;
    int m_viewerFontSize = 4;
    int m_viewerCellWidth = 0;
    int m_viewerSummary = 1;
    int m_budgetCellWidth = 0;
    int m_fiscalMonthOfYear = 0;
    int m_fiscalDayOfMonth = 0;
    int m_fiscalWeekday = 0;
    int m_viewerUnit = 1;
    int m_budgetUnit = 2;
    int m_transDefaultCurrency = 1;
    bool m_displayStockPrice = true;
    int m_splitHeight = 0;
    int m_splitWidth = 0;
    int m_splitX = 0;
    int m_splitY = 0;
    int m_windowHeight = 0;
    int m_windowWidth = 0;
    int m_windowX = 0;
    int m_windowY = 0;
    cv::ArchiveValue m_extraSecurities;
    cv::ArchiveValue m_extraInvests;
    mutable bool m_changed = false;
    std::function<void()> m_changeListener;
};

using SettingsPtr = std::shared_ptr<Settings>;

} // namespace cv
