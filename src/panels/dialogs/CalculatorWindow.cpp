#include "panels/dialogs/CalculatorWindow.h"

#include "panels/dialogs/FrontWindow.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace cv {

using cv::Decimal;

namespace {

const QString kTaxRateKey = QStringLiteral("CVTaxRate");
constexpr int kMaxEntryLength = 15;

Decimal storedTaxRate()
{
    const QString text = QSettings().value(kTaxRateKey).toString();
    return Decimal::fromString(text).value_or(Decimal::fromInt(5));
}

} // namespace

CalculatorWindow::CalculatorWindow(int taxFracProcess, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_taxFracProcess(taxFracProcess)
{
    setWindowTitle(cv::localizedString(QStringLiteral("Calc-Title")));
    cv::trackFrontWindow();
    buildKeys();
    setTaxRate(storedTaxRate());
    displayInputStr();
}

namespace {
QPointer<CalculatorWindow> &theCalculator()
{
    static QPointer<CalculatorWindow> calculator;
    return calculator;
}
} // namespace

CalculatorWindow *CalculatorWindow::existing()
{
    return theCalculator();
}

CalculatorWindow *CalculatorWindow::shared(int taxFracProcess)
{
    QPointer<CalculatorWindow> &calculator = theCalculator();
    if (!calculator) {
        calculator = new CalculatorWindow(taxFracProcess);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, calculator, &QObject::deleteLater);
    }
    return calculator;
}

void CalculatorWindow::toggleCalculator(int taxFracProcess)
{
    CalculatorWindow *calculator = shared(taxFracProcess);
    if (calculator->isVisible()) {
        calculator->hide();
        return;
    }
    calculator->show();
    calculator->raise();
}

void CalculatorWindow::buildKeys()
{
    auto *layout = new QVBoxLayout(this);
    m_resultField = new QLabel(this);
    m_resultField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_resultField->setFrameShape(QFrame::StyledPanel);
    m_resultField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont displayFont = m_resultField->font();
    displayFont.setPixelSize(22);
    m_resultField->setFont(displayFont);
    m_resultField->setMinimumHeight(36);
    m_taxField = new QLabel(this);
    m_taxField->setAlignment(Qt::AlignRight);
    layout->addWidget(m_resultField);
    layout->addWidget(m_taxField);

    auto *grid = new QGridLayout;
    grid->setSpacing(3);
    layout->addLayout(grid);
    auto key = [this, grid](const QString &name, const QString &title, int row, int column,
                            std::function<void()> action, int columnSpan = 1) {
        auto *button = new QPushButton(title, this);
        button->setObjectName(name);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumWidth(44);
        connect(button, &QPushButton::clicked, this, action);
        grid->addWidget(button, row, column, 1, columnSpan);
    };
    // Row 0: memory and clear keys.
    key(QStringLiteral("MC"), QStringLiteral("MC"), 0, 0, [this] { memKey(0); });
    key(QStringLiteral("MR"), QStringLiteral("MR"), 0, 1, [this] { memKey(1); });
    key(QStringLiteral("M+"), QStringLiteral("M+"), 0, 2, [this] { memKey(2); });
    key(QStringLiteral("C"), QStringLiteral("C"), 0, 3, [this] { clrKey(1); });
    key(QStringLiteral("AC"), QStringLiteral("AC"), 0, 4, [this] { clrKey(0); });
    // Row 1: tax keys.
    key(QStringLiteral("TaxIn"), cv::localizedString("Calc-Tax-Included"), 1, 0, [this] { unaryOprKey(8); });
    key(QStringLiteral("TaxOut"), cv::localizedString("Calc-Tax-Excluded"), 1, 1, [this] { unaryOprKey(9); });
    key(QStringLiteral("TaxAmount"), cv::localizedString("Calc-Tax-Amount"), 1, 2, [this] { unaryOprKey(10); });
    key(QStringLiteral("TaxRate"), cv::localizedString("Calc-Tax-Rate"), 1, 3, [this] { taxKey(2); });
    key(QStringLiteral("Tax5"), QStringLiteral("5%"), 1, 4, [this] { taxKey(3); });
    // Rows 2-5: digits and operations.
    const char *digits[] = {"7", "8", "9", "4", "5", "6", "1", "2", "3"};
    for (int i = 0; i < 9; ++i) {
        const QString d = QString::fromLatin1(digits[i]);
        key(d, d, 2 + i / 3, i % 3, [this, d] { numkey(d.toInt()); });
    }
    key(QStringLiteral("0"), QStringLiteral("0"), 5, 0, [this] { numkey(0); });
    key(QStringLiteral("."), QStringLiteral("."), 5, 1, [this] { numkey(10); });
    key(QStringLiteral("Sign"), QStringLiteral("+/−"), 5, 2, [this] { unaryOprKey(5); });
    key(QStringLiteral("/"), QStringLiteral("÷"), 2, 3, [this] { oprKey(Divide); });
    key(QStringLiteral("*"), QStringLiteral("×"), 3, 3, [this] { oprKey(Multiply); });
    key(QStringLiteral("-"), QStringLiteral("−"), 4, 3, [this] { oprKey(Subtract); });
    key(QStringLiteral("+"), QStringLiteral("+"), 5, 3, [this] { oprKey(Add); });
    key(QStringLiteral("Delete"), QStringLiteral("⌫"), 2, 4, [this] { clrKey(2); });
    key(QStringLiteral("Int"), cv::localizedString("Calc-Integer"), 3, 4, [this] { unaryOprKey(6); });
    key(QStringLiteral("Cents"), QStringLiteral("0.00"), 4, 4, [this] { unaryOprKey(7); });
    key(QStringLiteral("="), QStringLiteral("="), 5, 4, [this] { getsum(); });
    key(QStringLiteral("Tax0"), QStringLiteral("0%"), 6, 0, [this] { taxKey(4); });
    key(QStringLiteral("Copy"), cv::localizedString("Calc-Copy"), 6, 1, [this] { doCopy(); });
    key(
        QStringLiteral("Enter"), cv::localizedString("Calc-Enter"), 6, 2, [this] { doEnter(); }, 3);
}

QPushButton *CalculatorWindow::buttonForKey(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

// ---------------------------------------------------------------- display

QString CalculatorWindow::grouped(const QString &plain)
{
    QString text = plain;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative) text.remove(0, 1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    const QString rest = point < 0 ? QString() : text.mid(point);
    if (whole.isEmpty()) whole = QStringLiteral("0");
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, QLatin1Char(','));
    return (negative ? QStringLiteral("-") : QString()) + whole + rest;
}

void CalculatorWindow::displayInputStr()
{
    if (m_error) return;
    // Typed decimals stay as typed, trailing zeros included.
    m_resultField->setText(m_inputStr.isEmpty() ? QStringLiteral("0") : grouped(m_inputStr));
}

void CalculatorWindow::displayAccumulator()
{
    if (m_error) return;
    m_resultField->setText(grouped(m_accumulator.toString()));
}

QString CalculatorWindow::displayText() const
{
    return m_resultField->text();
}

QString CalculatorWindow::getDisplayedString() const
{
    if (m_error) return QString();
    return m_resultField->text().remove(QLatin1Char(','));
}

Decimal CalculatorWindow::getDisplayedValue() const
{
    if (!m_inputStr.isEmpty()) return Decimal::fromString(m_inputStr).value_or(Decimal());
    return m_accumulator;
}

void CalculatorWindow::fail()
{
    m_error = true;
    m_inputStr.clear();
    m_operation = None;
    m_accumulator = Decimal();
    m_resultField->setText(cv::localizedString(QStringLiteral("Calc-Error")));
}

// ---------------------------------------------------------------- keys

void CalculatorWindow::numkey(int tag)
{
    if (m_error) return;
    if (m_inputStr.size() <= kMaxEntryLength) {
        if (tag == 0) {
            if (m_inputStr != QLatin1String("0")) m_inputStr += QLatin1Char('0');
        } else if (tag >= 1 && tag <= 9) {
            if (m_inputStr == QLatin1String("0")) m_inputStr.clear(); // no leading zero before a digit
            m_inputStr += QChar(char('0' + tag));
        } else if (tag == 10) {
            if (!m_inputStr.contains(QLatin1Char('.'))) m_inputStr += QLatin1Char('.');
        }
    }
    displayInputStr();
}

bool CalculatorWindow::execOperation()
{
    const Decimal entry = getDisplayedValue();
    std::optional<Decimal> result;
    switch (m_operation) {
    case Add: result = m_accumulator + entry; break;
    case Subtract: result = m_accumulator - entry; break;
    case Multiply: result = m_accumulator * entry; break;
    case Divide: result = m_accumulator / entry; break;
    default: result = entry; break;
    }
    if (!result) {
        fail();
        return false;
    }
    m_accumulator = *result;
    return true;
}

void CalculatorWindow::oprKey(int operation)
{
    if (m_error) return;
    if (!m_inputStr.isEmpty()) {
        if (!execOperation()) return;
        displayAccumulator();
        clearInput();
    }
    m_operation = operation;
}

void CalculatorWindow::getsum()
{
    if (m_error) return;
    if (m_operation != None) {
        if (!execOperation()) return;
        displayAccumulator();
        m_operation = None;
    } else {
        m_accumulator = getDisplayedValue();
    }
    clearInput();
}

void CalculatorWindow::unaryOprKey(int tag)
{
    if (m_error) return;
    const Decimal value = getDisplayedValue();
    std::optional<Decimal> result;
    switch (tag) {
    case 5:
        result = value.negated();
        if (!m_inputStr.isEmpty()) {
            // The typed entry changes sign and typing goes on.
            m_inputStr = m_inputStr.startsWith(QLatin1Char('-')) ? m_inputStr.mid(1) : QStringLiteral("-") + m_inputStr;
            displayInputStr();
            return;
        }
        break;
    case 6: result = value.rounded(0, Decimal::Rounding::TowardZero); break;
    case 7: result = value.rounded(2, Decimal::Rounding::TowardZero); break;
    case 8: result = value * m_taxRate; break;
    case 9: result = value / m_taxRate; break;
    case 10:
        if (const auto rate = m_taxRate - Decimal::fromInt(1)) result = value * *rate;
        break;
    default: return;
    }
    if (result && tag >= 8 && m_taxFracProcess > 0) {
        const Decimal::Rounding mode = m_taxFracProcess == 1   ? Decimal::Rounding::HalfAwayFromZero
                                       : m_taxFracProcess == 2 ? Decimal::Rounding::Floor
                                                               : Decimal::Rounding::Ceiling;
        result = result->rounded(0, mode);
    }
    if (!result) {
        fail();
        return;
    }
    m_accumulator = *result;
    displayAccumulator();
    clearInput();
    m_operation = None;
}

void CalculatorWindow::setTaxRate(const Decimal &percent)
{
    const auto stored = percent / Decimal::fromInt(100);
    const auto rate = stored ? *stored + Decimal::fromInt(1) : std::nullopt;
    if (!rate) return;
    m_taxRate = *rate;
    showTaxRate();
}

Decimal CalculatorWindow::getTaxRate() const
{
    const auto rate = m_taxRate - Decimal::fromInt(1);
    const auto percent = rate ? *rate * Decimal::fromInt(100) : std::nullopt;
    return percent.value_or(Decimal());
}

void CalculatorWindow::showTaxRate()
{
    m_taxField->setText(
        cv::formatString(cv::localizedString(QStringLiteral("Calc-Tax-Rate-Shown")), {getTaxRate().toString()}));
}

void CalculatorWindow::taxKey(int tag)
{
    if (m_error) return;
    Decimal percent;
    if (tag == 2)
        percent = getDisplayedValue();
    else if (tag == 3)
        percent = Decimal::fromInt(5);
    QSettings().setValue(kTaxRateKey, percent.toString());
    setTaxRate(percent);
}

void CalculatorWindow::memKey(int tag)
{
    if (m_error) return;
    switch (tag) {
    case 0:
        m_memory = Decimal();
        clearInput();
        m_operation = None;
        displayInputStr();
        break;
    case 1:
        m_inputStr = m_memory.toString();
        displayInputStr();
        break;
    case 2: {
        m_accumulator = getDisplayedValue();
        const auto sum = m_memory + m_accumulator;
        if (!sum) {
            fail();
            return;
        }
        m_memory = *sum;
        displayAccumulator();
        clearInput();
        m_operation = None;
        break;
    }
    default: break;
    }
}

void CalculatorWindow::clrKey(int tag)
{
    if (tag == 0) {
        m_operation = None;
        m_accumulator = Decimal();
    }
    if (tag == 0 || tag == 1) {
        m_error = false;
        clearInput();
    } else if (tag == 2 && !m_error && !m_inputStr.isEmpty()) {
        m_inputStr.chop(1);
        if (m_inputStr == QLatin1String("-")) m_inputStr.clear();
    }
    displayInputStr();
}

void CalculatorWindow::doEnter()
{
    if (m_error) return;
    if (!cv::postInputValue(this, getDisplayedString())) return;
    clearInput();
    displayInputStr();
}

void CalculatorWindow::doCopy()
{
    if (m_error) return;
    QApplication::clipboard()->setText(getDisplayedString());
}

void CalculatorWindow::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Clear:
        // On the next turn, as the clear button would be pressed.
        QTimer::singleShot(0, this, [this] { clrKey(1); });
        return;
    case Qt::Key_Backspace: clrKey(2); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Equal: getsum(); return;
    case Qt::Key_Plus: oprKey(Add); return;
    case Qt::Key_Minus: oprKey(Subtract); return;
    case Qt::Key_Asterisk: oprKey(Multiply); return;
    case Qt::Key_Slash: oprKey(Divide); return;
    case Qt::Key_Period: numkey(10); return;
    default: break;
    }
    if (text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 128) numkey(text.at(0).digitValue());
    // Every other key is consumed.
}

} // namespace cv
