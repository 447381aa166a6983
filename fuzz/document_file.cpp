// Feeds arbitrary bytes to the store as a document file: expansion, the magic,
// the SQLite open of an untrusted image, then every info and loan row decoded
// as the document decodes it, and the records read back.
#include "FuzzModelWalk.h"
#include "FuzzWorkFolder.h"

#include "document/store/BookStore.h"
#include "document/store/SQLDatabase3.h"
#include "model/Currency.h"
#include "model/Grouping.h"
#include "model/DatedPrice.h"

#include <QFile>

#include <limits>

namespace {

// Bigger inputs only make the fuzzer slower: a small file already reaches
// every path of the reader.
constexpr std::size_t kSizeCap = 256 * 1024;

std::optional<cv::ArchiveValue> decoded(const QByteArray &archive)
{
    if (archive.isEmpty()) return std::nullopt;
    auto value = cv::KeyedUnarchiver::unarchiveObjectWithData(archive);
    if (value) fuzzwalk::exercise(*value);
    return value;
}

template <class T> std::vector<std::shared_ptr<T>> listOf(const std::optional<cv::ArchiveValue> &value)
{
    std::vector<std::shared_ptr<T>> out;
    if (const cv::ArchiveArray *array = value ? value->array() : nullptr) {
        for (const auto &item : *array)
            if (auto object = item.objectAs<T>()) out.push_back(std::move(object));
    }
    return out;
}

void readEverything(cv::BookStore &store)
{
    decoded(store.getAccountData());
    decoded(store.getCategoryData());
    decoded(store.getSettingsData());
    decoded(store.getPrintSettings());
    for (int id = cv::BookStore::InfoImportFirst; id <= cv::BookStore::InfoImportLast; ++id)
        decoded(store.getImportMappingData(id));
    decoded(store.getGroupData());
    for (const auto &currency : listOf<cv::Currency>(decoded(store.getCurrencyData())))
        store.getRateListForCurrency(currency->ident());
    for (const auto &security : listOf<cv::Security>(decoded(store.getSecurityData())))
        store.getPriceListForSecurity(security->ident());

    if (auto loans = store.database()->performQuery(QStringLiteral("SELECT id FROM LoanTable LIMIT 100;"))) {
        for (int row = 0; row < loans->rowCount(); ++row)
            listOf<cv::LoanPayment>(decoded(store.getLoanData(loans->rowAtIndex(row).intForColumnAtIndex(0))));
    }
    cv::SearchConditions all;
    const double infinity = std::numeric_limits<double>::infinity();
    all.value = {-infinity, infinity};
    store.findAccounts(all);
    store.findTradeFrom(QDate(), QDate(), -1, -1, 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzwork::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kSizeCap) return -1;
    static const QString path = fuzzwork::folder().filePath(QStringLiteral("input.cvv2"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    cv::BookStore store;
    if (store.open(path)) readEverything(store);
    return 0;
}
