#pragma once
// The report sheet: the user picks one of the ten report kinds, a period and
// the accounts, categories, groupings or securities to report, then prints
// or previews the report; the sheet stays open for further reports until
// Close. The choice of accounts and categories is the check marks of the
// document's own trees (the report views read them); securities and
// groupings carry their own. Every check mark is 0 again once the sheet
// ends, and nothing the sheet does marks the book edited: reports print on
// A4 (landscape for the securities trades) with the preferences' margins,
// and the book's own print settings are never written.

#include "controls/ToggleClient.h"
#include "platform/print/PageSetup.h"
#include "platform/print/PrintRunner.h"
#include "reports/ReportKinds.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace cv {

class Book;
class Preference;

class DateField;
class ReportOutlineModel;
class ToggleOutlineView;

class ReportSheet : public QDialog, public ToggleClient {
    Q_OBJECT
public:
    // The controls of one kind's page; those the kind has not are null.
    struct Tab {
        QWidget *page = nullptr;
        DateField *from = nullptr, *to = nullptr;         // the period (period 1 of the term comparison)
        DateField *from2 = nullptr, *to2 = nullptr;       // period 2
        QLineEdit *fromYear = nullptr, *toYear = nullptr; // the budget comparison's months
        QComboBox *fromMonth = nullptr, *toMonth = nullptr;
        ToggleOutlineView *tree = nullptr;
        ReportOutlineModel *treeModel = nullptr;
        ToggleOutlineView *groups = nullptr;
        ReportOutlineModel *groupModel = nullptr;
        QCheckBox *useGroups = nullptr;
        QButtonGroup *levels = nullptr; // ids 0 (every level) to 3
        QButtonGroup *order = nullptr;  // ranking: id 0 smaller first, 1 larger first
        QButtonGroup *layout = nullptr; // account balance: id 0 tree order, 1 by type
        QCheckBox *breakdown = nullptr; // income and expense report's switch
        QLabel *securityText = nullptr;
    };
    struct MonthPeriod {
        QDate from, to;
        int months = 0;
    };

    ReportSheet(Book *doc, const Preference *preference, QWidget *parent = nullptr);
    ~ReportSheet() override;

    // Opens the sheet on the window under the sheet tracker; it frees itself when it ends.
    static ReportSheet *openReportPanel(Book *doc, const Preference *preference, QWidget *parent);

    int kind() const { return m_kind; }
    const Tab &tab(int kind) const { return m_tabs[size_t(kind)]; }
    QComboBox *kindButton() const { return m_kindButton; }
    QPushButton *reportButton() const { return m_reportButton; }
    QPushButton *previewButton() const { return m_previewButton; }
    QPushButton *closeButton() const { return m_closeButton; }
    // The paper, orientation and margins the next report prints with.
    PageSetup pageSetup() const;

    // The first and last day of the budget comparison's months: from the
    // fiscal start day of the first month to the day before that of the month
    // after the last. None while a year is not a year.
    std::optional<MonthPeriod> budgetPeriod() const;
    // 1 to 4 ASCII digits making a year of 1 or later.
    static std::optional<int> yearOf(const QString &text);
    QDate firstDate(const QDate &date) const;
    // The day before the fiscal start day of the month after the date's.
    QDate endDate(const QDate &date) const;
    // The run's choices, none while a date is missing.
    std::optional<ReportRequest> request() const;

    // Builds the chosen report and prints, previews or writes it to a PDF;
    // with no rows the user is told there is no data. False when nothing printed.
    bool runReport(PrintRunner::Mode mode, const QString &pdfPath = {});

    void toggleItem(const QModelIndex &index) override;

public Q_SLOTS:
    void done(int code) override;

private:
    void buildTab(int kind);
    void selectKind(int kind);
    void fillDefaults(int kind);
    void tierChanged(int kind, int tier);
    void useGroupsChanged(int kind);
    void updateReportButtonState();
    bool selectionReady() const;
    bool datesReady() const;
    void clearAllMarks();

    QPointer<Book> m_doc;
    Preference *m_preference; // a copy of the preferences, owned
    PageSetup m_setup;        // A4 from the start; margins from the preferences
    int m_kind = 0;
    int m_categoryTier = 0; // the current tab's depth limit
    QComboBox *m_kindButton;
    QStackedWidget *m_optionSettingsView;
    std::array<Tab, kReportKindCount> m_tabs;
    QPushButton *m_previewButton;
    QPushButton *m_reportButton;
    QPushButton *m_closeButton;
};

} // namespace cv
