#include "import/ImportCSVSheet.h"

#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "import/ImportFile.h"
#include "import/PriceListReader.h"
#include "import/StatementValues.h"
#include "model/Security.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace cv {

using cv::localizedString;

namespace {
constexpr int kExcluded = 1;
}

ImportCSVSheet::ImportCSVSheet(Book *document, int target, bool isSecurity, QWidget *parent)
    : ImportSheet(document, parent), m_target(target), m_isSecurity(isSecurity)
{
    buildWindow();
    updateButtons();
}

ImportCSVSheet *ImportCSVSheet::openForSecurity(Book *document, int security, QWidget *parent,
                                                std::function<void(int)> done)
{
    if (!document || !document->findSecurity(security)) return nullptr;
    return openOnWindow(new ImportCSVSheet(document, security, true, parent), parent, std::move(done));
}

ImportCSVSheet *ImportCSVSheet::openForCurrency(Book *document, int currency, QWidget *parent,
                                                std::function<void(int)> done)
{
    if (!document || !document->findCurrency(currency)) return nullptr;
    return openOnWindow(new ImportCSVSheet(document, currency, false, parent), parent, std::move(done));
}

void ImportCSVSheet::buildWindow()
{
    setWindowTitle(localizedString(m_isSecurity ? "ImportCSV Price Title" : "ImportCSV Rate Title"));
    auto *layout = new QVBoxLayout(this);
    QString name;
    if (m_isSecurity) {
        if (const SecurityPtr security = m_document->findSecurity(m_target)) name = security->name();
    } else if (const CurrencyPtr c = m_document->findCurrency(m_target)) {
        name = c->name();
    }
    auto *target = new QLabel(cv::formatString(localizedString("ImportCSV Destination"), {name}), this);
    layout->addWidget(target);
    addFileRow(layout, localizedString("ImportCSV File Types"));
    auto *hint = new QLabel(localizedString("ImportCSV Message"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    cv::ImportRowsModel::Client client;
    client.rowCount = [this] { return int(m_values.size()); };
    client.text = [this](int column, int row) { return cellText(column, row); };
    client.rightAligned = [](int column) { return column == PriceColumn; };
    client.setText = [this](int column, int row, const QString &text) { return setText(column, row, text); };
    addTable(layout,
             {localizedString("OFX Column Date"),
              localizedString(m_isSecurity ? "ImportCSV Column Price" : "ImportCSV Column Rate")},
             std::move(client));
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_table->setColumnWidth(DateColumn, 120);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;

    addMenu({{MenuExclude, "ImportCSV Menu Exclude"}, {MenuInclude, "ImportCSV Menu Include"}});
    resize(420, 480);
}

int ImportCSVSheet::currency() const
{
    if (!m_isSecurity) return m_target;
    const SecurityPtr security = m_document->findSecurity(m_target);
    return security ? security->currency() : 0;
}

bool ImportCSVSheet::isStock() const
{
    const SecurityPtr security = m_isSecurity ? m_document->findSecurity(m_target) : nullptr;
    return security && security->kind() == cv::SecurityKind::Stock;
}

std::optional<double> ImportCSVSheet::currencyValueForString(QStringView text) const
{
    // Text that is no number is no value: a price of 0 would break every valuation from that day,
    // and one beyond the recordable bound every balance.
    std::optional<double> value;
    if (isStock()) {
        value = m_document->numberForString(text.trimmed().toString(), currency());
    } else {
        const CurrencyPtr c = m_document->findCurrency(currency());
        value = cv::parseFundValue(text, c ? QStringView(c->prefix()) : QStringView());
    }
    if (value && !cv::isRecordableRate(*value)) return std::nullopt;
    return value;
}

QString ImportCSVSheet::cellText(int column, int row) const
{
    if (row < 0 || size_t(row) >= m_values.size()) return QString();
    const DatedPrice &value = *m_values[size_t(row)];
    if (column == DateColumn) return cv::formatProgramDate(value.date());
    if (column != PriceColumn) return QString();
    if (value.flags() & kExcluded) return QStringLiteral("---");
    return isStock() ? m_document->stringForValue(value.price(), currency(), false)
                     : m_document->stringForFundValue(value.price(), currency());
}

bool ImportCSVSheet::setText(int column, int row, const QString &text)
{
    if (row < 0 || size_t(row) >= m_values.size()) return false;
    DatedPrice &value = *m_values[size_t(row)];
    if (column == DateColumn) {
        const std::optional<QDate> date = cv::parseProgramDate(text);
        if (date) value.setDate(*date);
        return bool(date);
    }
    const std::optional<double> price = column == PriceColumn ? currencyValueForString(text) : std::nullopt;
    if (price) value.setPrice(*price);
    return bool(price);
}

bool ImportCSVSheet::loadFile(const QString &path)
{
    m_pathField->setText(path);
    m_values.clear();
    const cv::ImportFile file = cv::readImportFile(path);
    if (file.status == cv::ImportFileStatus::Read)
        m_values = cv::readPriceList(file.data, [this](QStringView text) { return currencyValueForString(text); });
    m_model->reset();
    updateButtons();
    cv::alertImportFile(file.status, path, this);
    return file.status == cv::ImportFileStatus::Read;
}

void ImportCSVSheet::updateButtons()
{
    m_okButton->setEnabled(!m_values.empty());
}

void ImportCSVSheet::menuSelected(int tag)
{
    for (int row : selectedRows()) {
        DatedPrice &value = *m_values[size_t(row)];
        value.setFlags(tag == MenuExclude ? value.flags() | kExcluded : value.flags() & ~kExcluded);
    }
    m_model->reload();
}

void ImportCSVSheet::okPushed()
{
    if (m_values.empty()) return;
    // The target is looked up again: it may have gone while the sheet was open.
    if (m_isSecurity ? !m_document->findSecurity(m_target) : !m_document->findCurrency(m_target)) {
        done(0);
        return;
    }
    // In file order: the last value of a day stays.
    Book::PriceList puts;
    for (const DatedPricePtr &value : m_values) {
        if (value->flags() & kExcluded) continue;
        const DatedPricePtr stored = value->clone();
        stored->setSecurity(m_target);
        puts.push_back(stored);
    }
    const bool written = m_isSecurity ? m_document->writePrices(m_document->findSecurity(m_target), {}, puts)
                                      : m_document->writeRates(m_document->findCurrency(m_target), {}, puts);
    if (written) done(1);
}

} // namespace cv
