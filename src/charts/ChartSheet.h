#pragma once
// The chart sheet: up to ten accounts (tab 0) or categories (tab 1) ticked
// in a check-box outline, a date range, an interval and a chart kind; Draw
// prints the chart (line, bar or pie) through the print dialog, Preview shows
// it first. The ticks are the nodes' own status, cleared when the sheet opens
// and when it goes.

#include "print/PrintPages.h"
#include "controls/ButtonStatusClient.h"
#include "controls/ToggleClient.h"
#include "model/Node.h"

#include <QDialog>
#include <QPointer>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace cv {

class Book;
class Preference;

class TickTree;
class DateField;

class ChartSheet : public QDialog, public cv::ButtonStatusClient, public cv::ToggleClient {
    Q_OBJECT
public:
    enum Kind { Line = 0, Bar = 1, Pie = 2 };
    static constexpr int kMaxItems = 10;

    ChartSheet(Book *document, const Preference &preference, QWidget *parent = nullptr);
    ~ChartSheet() override;

    // 0 accounts, 1 categories.
    int tab() const;
    std::optional<QDate> getDate(int which) const;
    void setDate(const QDate &date, int which);

    void paramChanged();
    void updateButtons() override;
    void toggleItem(const QModelIndex &index) override;
    // Ticks or unticks as a click on the node's box does.
    void toggleNode(Node &node);
    // The items the chart would show, in outline order.
    std::vector<NodePtr> chartItems() const;
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
    cv::TickTree *accView() const { return m_accView; }
    cv::TickTree *actView() const { return m_actView; }

private:
    cv::TickTree *outline() const;
    bool tick(Node &node);
    bool pieOfAccounts() const;
    std::unique_ptr<cv::PagedDocument> makeChart(cv::PageSetup &setup) const;

    QPointer<Book> m_doc;
    const Preference &m_preference;

    QTabWidget *m_tabView;
    cv::TickTree *m_accView;
    cv::TickTree *m_actView;
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

} // namespace cv
