#pragma once
// The sheet of a bank account (kind 31; detail BankDetail): name,
// currency, the account kind, the bank's form (0 bank, 1 branch, 2 account
// number, 3 telephone, 4 start date, 5 opening balance, 6 interest rate)
// and a memo.

#include "panels/sheets/FormAccountSheet.h"

namespace cv {

class BankAccountSheet : public cv::FormAccountSheet {
    Q_OBJECT
public:
    enum Cell { BankCell = 0, BranchCell, NumberCell, TelephoneCell, DateCell, BalanceCell, RateCell };
    static constexpr int kAccountKinds = 4;

    BankAccountSheet(Book *document, NodePtr account, QWidget *parent = nullptr);

    static BankAccountSheet *openBankAccountSheet(Book *document, const NodePtr &account, QWidget *parent,
                                                  std::function<void(int, BankAccountSheet *)> done);

    InputForm *bankInfoForm() const { return form(); }
    QComboBox *accountKindButton() const { return m_accountKindButton; }

protected:
    bool detailReady() const override;
    QString missingDetail() const override;
    void writeDetail() override;

private:
    // Empty is 0; none when unreadable.
    std::optional<double> readRate() const;

    QComboBox *m_accountKindButton; // child
    int m_storedKind = 0;           // kept when the pop-up cannot show the stored kind
};

} // namespace cv
