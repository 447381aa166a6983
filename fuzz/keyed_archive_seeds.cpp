// Writes the starting corpus of the keyed-archive fuzzer: real archives in
// the binary and XML forms.
#include "FuzzArchiveNode.h"

#include <QDir>
#include <QFile>

#include <plist/plist.h>

#include <cstdio>

namespace {

QByteArray toXml(const QByteArray &binary)
{
    plist_t p = nullptr;
    plist_from_bin(binary.constData(), std::uint32_t(binary.size()), &p);
    if (!p) return {};
    char *xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(p, &xml, &length);
    QByteArray out(xml, xml ? qsizetype(length) : 0);
    if (xml) plist_to_xml_free(xml);
    plist_free(p);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;

    auto node = [](std::int64_t ident, const QString &name) {
        auto n = std::make_shared<FuzzArchiveNode>();
        n->ident = ident;
        n->name = name;
        return n;
    };
    auto root = node(1, QStringLiteral("資産"));
    root->amount = -1234.5;
    root->flag = true;
    auto bank = node(1001, QStringLiteral("銀行"));
    bank->extra = cv::ArchiveValue(cv::ArchiveDictionary{
        {cv::ArchiveArray{"スーパー", "食費"}, 21005},
        {"date", cv::ArchiveDate{7.5e8}},
        {"data", QByteArray("\x00\x01\xfe", 3)},
        {"list", cv::ArchiveArray{1, -2, 3.5, false, cv::ArchiveValue()}},
    });
    auto cash = node(1002, QStringLiteral("cash"));
    cash->link = bank;
    cash->children = {node(-7, QString()), node(1LL << 40, QStringLiteral("x"))};
    root->children = {bank, cash};

    const QList<QByteArray> archives = {
        cv::KeyedArchiver::archivedDataWithRootObject(root),
        cv::KeyedArchiver::archivedDataWithRootObject(bank->extra),
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue(QStringLiteral("文字列"))),
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue()),
    };
    int n = 0;
    auto write = [&](const QByteArray &bytes) {
        QFile f(dir.filePath(QStringLiteral("seed-%1").arg(++n)));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    for (const QByteArray &a : archives) {
        if (!write(a) || !write(toXml(a))) return 1;
    }
    return write(QByteArrayLiteral("YWJj")) ? 0 : 1;
}
