#pragma once
// The desk calculator: a floating window with exact decimal arithmetic, one
// memory, the consumption-tax keys and truncation keys. Enter posts the
// displayed value to the front entry window (performInputValue), Copy puts
// it on the clipboard. One per application (shared()); the tax rate lives in
// the settings under "CVTaxRate".

#include "panels/dialogs/Decimal.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace cv {

class CalculatorWindow : public QWidget {
    Q_OBJECT
public:
    enum Operation { None = 0, Add = 1, Subtract = 2, Multiply = 3, Divide = 4 };

    explicit CalculatorWindow(int taxFracProcess, QWidget *parent = nullptr);

    // The application's calculator, made on first use.
    static CalculatorWindow *shared(int taxFracProcess);
    // The application's calculator when one was made; never makes one.
    static CalculatorWindow *existing();
    // The View menu's command: shows the calculator when hidden, hides it
    // when shown.
    static void toggleCalculator(int taxFracProcess);

    // ---- the keys, by the tags of their buttons
    void numkey(int tag);       // 0-9 digits, 10 the point
    void oprKey(int operation); // Operation 1-4
    void getsum();
    void unaryOprKey(int tag); // 5 sign, 6 integer part, 7 two decimals, 8 tax in, 9 tax out, 10 tax amount
    void taxKey(int tag);      // 2 the display becomes the rate, 3 rate 5, other rate 0
    void memKey(int tag);      // 0 clear, 1 recall, 2 add
    void clrKey(int tag);      // 0 all clear, 1 clear entry, 2 delete the last character
    void doEnter();
    void doCopy();

    void setTaxFracProcess(int rule) { m_taxFracProcess = rule; }
    int taxFracProcess() const { return m_taxFracProcess; }
    void setTaxRate(const cv::Decimal &percent);
    cv::Decimal getTaxRate() const;
    cv::Decimal getMemory() const { return m_memory; }
    cv::Decimal getAccumulator() const { return m_accumulator; }
    cv::Decimal getDisplayedValue() const;
    // The display without grouping separators.
    QString getDisplayedString() const;
    QString displayText() const;
    // After a division by zero or an overflow, until a clear key.
    bool isErrorState() const { return m_error; }
    QPushButton *buttonForKey(const QString &name) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildKeys();
    void displayInputStr();
    void displayAccumulator();
    void showTaxRate();
    void clearInput() { m_inputStr.clear(); }
    bool execOperation();
    void fail();
    static QString grouped(const QString &plain);

    cv::Decimal m_accumulator;       // the running result
    cv::Decimal m_memory;            // M+ adds to it, MR types it
    cv::Decimal m_taxRate;           // 1 + rate / 100
    QString m_inputStr;              // the digits being typed; empty = no entry
    int m_operation = None;          // the pending binary operation
    int m_taxFracProcess = 0;        // 0 none, 1 nearest, 2 down, other up
    bool m_error = false;            // a failed operation is shown until cleared
    QLabel *m_resultField = nullptr; // the display, owned by the window
    QLabel *m_taxField = nullptr;    // the tax rate, owned by the window
};

} // namespace cv
