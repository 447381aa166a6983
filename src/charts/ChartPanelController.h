#pragma once
// The chart sheet: up to ten accounts (tab 0) or categories (tab 1) ticked
// in a check-box outline, a date range, an interval and a chart kind; Draw
// prints the chart (line, bar or pie) through the print dialog, Preview shows
// it first. The ticks are the nodes' own status, cleared when the sheet opens
// and when it goes.

#include "charts/PrintInfoView.h"
#include "controls/ButtonStatusClient.h"
#include "controls/ToggleClient.h"
#include "model/CVUnitModel.h"

#include <QDialog>
#include <QPointer>

#include <vector>

class CV4Document;
class CV4Preference;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace cv {
class AccountActualOutlineView;
class DateField;
} // namespace cv

class ChartPanelController : public QDialog, public cv::ButtonStatusClient, public cv::ToggleClient {
    Q_OBJECT
public:
    enum Kind { Line = 0, Bar = 1, Pie = 2 };
    static constexpr int kMaxItems = 10;

    ChartPanelController(CV4Document *document, const CV4Preference &preference, QWidget *parent = nullptr);
    ~ChartPanelController() override;

    // 0 accounts, 1 categories.
    int tab() const;
    std::optional<QDate> getDate(int which) const;
    void setDate(const QDate &date, int which);

    void paramChanged();
    void setButtonStatus() override;
    void toggleItem(const QModelIndex &index) override;
    // Ticks or unticks as a click on the node's box does.
    void toggleNode(CVUnitModel &node);
    // The items the chart would show, in outline order.
    std::vector<CVUnitModelPtr> chartItems() const;
    // Draw and Preview: the chart through the print dialog, the preview or
    // into a PDF; false when nothing was printed.
    bool print(cv::PrintRunner::Mode mode, const QString &pdfPath = {});
    void closePushed() { done(0); }

    QTabWidget *tabView() const { return m_tabView; }
    cv::DateField *fromDateField() const { return m_fromDateField; }
    cv::DateField *toDateField() const { return m_toDateField; }
    QComboBox *intervalButton() const { return m_intervalButton; }
    QComboBox *paramButton() const { return m_paramButton; }
    QPushButton *drawButton() const { return m_drawButton; }
    QPushButton *previewButton() const { return m_previewButton; }
    QPushButton *closeButton() const { return m_closeButton; }
    cv::AccountActualOutlineView *accView() const { return m_accView; }
    cv::AccountActualOutlineView *actView() const { return m_actView; }

private:
    cv::AccountActualOutlineView *outline() const;
    bool tick(CVUnitModel &node);
    bool pieOfAccounts() const;
    std::unique_ptr<cv::PagedDocument> makeChart(cv::PageSetup &setup) const;

    QPointer<CV4Document> m_doc;
    const CV4Preference &m_preference;

    QTabWidget *m_tabView;
    cv::AccountActualOutlineView *m_accView;
    cv::AccountActualOutlineView *m_actView;
    QLabel *m_fromLabel;
    QLabel *m_toLabel;
    cv::DateField *m_fromDateField;
    cv::DateField *m_toDateField;
    QComboBox *m_intervalButton;
    QComboBox *m_paramButton;
    QPushButton *m_closeButton;
    QPushButton *m_previewButton;
    QPushButton *m_drawButton;
};
