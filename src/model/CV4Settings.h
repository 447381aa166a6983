#pragma once
// Everything of one household book that is not financial data: the fiscal
// calendar, the viewer and budget layout, the main window's geometry and the
// document password. Archived into the document when `changed` is set.

#include "platform/KeyedArchiver.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <memory>

class CV4Settings : public cv::KeyedArchivable {
public:
    static constexpr int kCurrentRevision = 512;
    // Iterations of new password verifiers.
    static constexpr int kPasswordIterations = 100000;

    CV4Settings() = default;

    int revision() const { return revision_; }
    void setRevision(int value) { revision_ = value; }
    void setCurrentRevision() { revision_ = kCurrentRevision; }

    // The password itself is never kept: only a salted verifier. An empty
    // password removes the protection.
    bool hasPassword() const { return !passwordVerifier_.isEmpty(); }
    void setPassword(const QString &password);
    // Without a password only an empty entry is right.
    bool verifyPassword(const QString &entry) const;

    int viewerFontSize() const { return viewerFontSize_ == 0 ? 3 : viewerFontSize_; }
    void setViewerFontSize(int value) { setIfDiffers(viewerFontSize_, value); }
    int viewerCellWidth() const { return viewerCellWidth_; }
    void setViewerCellWidth(int value) { setIfDiffers(viewerCellWidth_, value); }
    int viewerSummary() const { return viewerSummary_; }
    void setViewerSummary(int value) { setAlways(viewerSummary_, value); }
    int budgetCellWidth() const { return budgetCellWidth_; }
    void setBudgetCellWidth(int value) { setAlways(budgetCellWidth_, value); }

    // Zero-based: month 0 is January, day 0 the 1st; weekday 0 is Sunday.
    int fiscalMonthOfYear() const { return fiscalMonthOfYear_; }
    void setFiscalMonthOfYear(int value) { setAlways(fiscalMonthOfYear_, value); }
    int fiscalDayOfMonth() const { return fiscalDayOfMonth_; }
    // Kept within 0-27 (the 1st to the 28th), so that every month has the
    // day and every user of it sees the same value, also from a damaged book.
    void setFiscalDayOfMonth(int value) { setAlways(fiscalDayOfMonth_, std::clamp(value, 0, 27)); }
    int fiscalWeekday() const { return fiscalWeekday_; }
    void setFiscalWeekday(int value) { setAlways(fiscalWeekday_, value); }

    // Period codes: 0 day, 1 week, 2 month, 3 quarter, 4 half year, 5 year.
    int viewerUnit() const { return viewerUnit_; }
    void setViewerUnit(int value) { setAlways(viewerUnit_, value); }
    int budgetUnit() const { return budgetUnit_; }
    void setBudgetUnit(int value) { setAlways(budgetUnit_, value); }
    int transDefaultCurrency() const { return transDefaultCurrency_; }
    void setTransDefaultCurrency(int value) { setAlways(transDefaultCurrency_, value); }
    bool displayStockPrice() const { return displayStockPrice_; }
    void setDisplayStockPrice(bool value) { setIfDiffers(displayStockPrice_, value); }

    int splitHeight() const { return splitHeight_; }
    void setSplitHeight(int value) { setIfDiffers(splitHeight_, value); }
    int splitWidth() const { return splitWidth_; }
    void setSplitWidth(int value) { setIfDiffers(splitWidth_, value); }
    int splitX() const { return splitX_; }
    void setSplitX(int value) { setIfDiffers(splitX_, value); }
    int splitY() const { return splitY_; }
    void setSplitY(int value) { setIfDiffers(splitY_, value); }
    int windowHeight() const { return windowHeight_; }
    void setWindowHeight(int value) { setIfDiffers(windowHeight_, value); }
    int windowWidth() const { return windowWidth_; }
    void setWindowWidth(int value) { setIfDiffers(windowWidth_, value); }
    int windowX() const { return windowX_; }
    void setWindowX(int value) { setIfDiffers(windowX_, value); }
    int windowY() const { return windowY_; }
    void setWindowY(int value) { setIfDiffers(windowY_, value); }

    // Kept and archived unchanged for older versions; nothing reads them.
    const cv::ArchiveValue &extraBrands() const { return extraBrands_; }
    void setExtraBrands(const cv::ArchiveValue &value) { extraBrands_ = value; }
    const cv::ArchiveValue &extraInvests() const { return extraInvests_; }
    void setExtraInvests(const cv::ArchiveValue &value) { extraInvests_ = value; }

    bool changed() const { return changed_; }
    void setChanged() { changed_ = true; }
    void clearChanged() { changed_ = false; }

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
        if (field != value) changed_ = true;
        field = value;
    }
    template <class T> void setAlways(T &field, T value)
    {
        field = value;
        changed_ = true;
    }

    int revision_ = kCurrentRevision;
    QString passwordVerifier_;
    int viewerFontSize_ = 4;
    int viewerCellWidth_ = 0;
    int viewerSummary_ = 1;
    int budgetCellWidth_ = 0;
    int fiscalMonthOfYear_ = 0;
    int fiscalDayOfMonth_ = 0;
    int fiscalWeekday_ = 0;
    int viewerUnit_ = 1;
    int budgetUnit_ = 2;
    int transDefaultCurrency_ = 1;
    bool displayStockPrice_ = true;
    int splitHeight_ = 0;
    int splitWidth_ = 0;
    int splitX_ = 0;
    int splitY_ = 0;
    int windowHeight_ = 0;
    int windowWidth_ = 0;
    int windowX_ = 0;
    int windowY_ = 0;
    cv::ArchiveValue extraBrands_;
    cv::ArchiveValue extraInvests_;
    mutable bool changed_ = false;
};

using CV4SettingsPtr = std::shared_ptr<CV4Settings>;
