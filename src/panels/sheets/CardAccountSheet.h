#pragma once
// The sheet of a credit card (kind 40; detail CardDetail): name,
// currency, the card's form (0 company, 1 telephone, 2 start date,
// 3 opening balance, 4 credit limit), the cut-off and due days and a memo.
// A new card proposes cut-off day 20 and due day 10.

#include "panels/sheets/FormAccountSheet.h"

namespace cv {

class CardAccountSheet : public cv::FormAccountSheet {
    Q_OBJECT
public:
    enum Cell { CompanyCell = 0, TelephoneCell, DateCell, BalanceCell, LimitCell };

    CardAccountSheet(Book *document, NodePtr account, QWidget *parent = nullptr);

    static CardAccountSheet *openCardAccountSheet(Book *document, const NodePtr &account, QWidget *parent,
                                                  std::function<void(int, CardAccountSheet *)> done);

    InputForm *creditInfoForm() const { return form(); }
    QComboBox *cutoffDayButton() const { return m_cutoffDayButton; }
    QComboBox *dueDayButton() const { return m_dueDayButton; }

protected:
    bool detailReady() const override;
    QString missingDetail() const override;
    void writeDetail() override;

private:
    QComboBox *m_cutoffDayButton; // children
    QComboBox *m_dueDayButton;
    int m_storedCutoffDay = 0; // kept when the pop-up cannot show the stored day
    int m_storedDueDay = 0;
};

} // namespace cv
