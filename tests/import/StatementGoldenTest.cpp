// Every statement file of tests/fixtures/import read as the import sheets
// read it, without a window, and the outcome compared line by line with
// tests/fixtures/import/statements.golden.txt. A change in any reader, guess
// or notice rule shows there as a diff; CV_UPDATE_GOLDEN=1 rewrites the file.

#include "import/EncodingGuess.h"
#include "import/ImportFile.h"
#include "import/ImportOFXSheet.h"
#include "import/ImportTextSheet.h"
#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "import/TextStatementReader.h"
#include "platform/Localization.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace cv;

namespace {

const QString kFolder = QStringLiteral(CV_TEST_FIXTURES "/import");
const QString kGolden = kFolder + QStringLiteral("/statements.golden.txt");

// The sheets' shared texts, for their notices.
struct SheetTexts : EntryImportSheet {
    using EntryImportSheet::encodingName;
    using EntryImportSheet::numberList;
};

// A memo as read, with what would not show escaped: wrong decoding stays
// visible as mojibake, a line break or stray control byte as an escape.
QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            out += QStringLiteral("\\u{%1}").arg(c.unicode(), 0, 16);
        else
            out += c;
    }
    return out + u'"';
}

QString rowText(const Entry &row)
{
    return row.date().toString(Qt::ISODate) + ((row.flags() & PendingOutgoing) ? u" out " : u" in ") +
           QString::number(row.amount(), 'g', 15) + u' ' + quoted(row.memo()) +
           (row.kind() == EntryKind::Transfer ? QStringLiteral(" transfer") : QString());
}

// Rows whose text holds a character that did not decode, as the sheets name them.
QString unreadableNotice(const std::vector<int> &rows)
{
    if (rows.empty()) return {};
    return formatString(localizedString("Import Unreadable Rows"), {int(rows.size()), SheetTexts::numberList(rows)});
}

// The statement sheet's road (ImportOFXSheet::loadFile).
QStringList readOfx(const QByteArray &data)
{
    const StatementRead read = readStatement(data);
    QStringList out;
    out << QStringLiteral("encoding: ") + (read.labelOverruled
                                               ? SheetTexts::encodingName(*read.labelOverruled) + u", not the label's"
                                               : QStringLiteral("as the file names it"));
    std::vector<int> unreadable;
    for (size_t i = 0; i < read.rows.size(); ++i) {
        const Entry &row = *read.rows[i];
        const QString account = row.account() < 0 ? read.accounts.value(-row.account() - 1) : QString();
        QString line = QStringLiteral("row %1: ").arg(i + 1) + rowText(row);
        if (!account.isEmpty()) line += u" account " + quoted(account);
        if (!read.currencies.value(qsizetype(i)).isEmpty()) line += u" currency " + read.currencies[qsizetype(i)];
        out << line;
        if (QString(row.memo() + account).contains(QChar::ReplacementCharacter)) unreadable.push_back(int(i) + 1);
    }
    for (const UnreadTransaction &t : read.unread)
        out << QStringLiteral("not read: transaction %1 date %2 ").arg(t.place).arg(quoted(t.date)) + quoted(t.name);
    for (const QString &notice : ImportOFXSheet::fileNotices(read.labelOverruled, read.unread))
        out << u"notice: " + notice;
    if (const QString notice = unreadableNotice(unreadable); !notice.isEmpty()) out << u"notice: " + notice;
    if (read.status == StatementRead::Status::Damaged)
        out << QStringLiteral("refused: Import-Damaged");
    else if (read.status == StatementRead::Status::NotRecognised)
        out << QStringLiteral("refused: Import-Not-Recognised");
    else if (read.rows.empty() && read.unread.empty())
        out << QStringLiteral("refused: Import-No-Transactions");
    return out;
}

QString markOf(const QByteArray &data)
{
    if (data.startsWith("\xEF\xBB\xBF")) return QStringLiteral(" (UTF-8 mark)");
    if (data.startsWith("\xFF\xFE")) return QStringLiteral(" (UTF-16 LE mark)");
    if (data.startsWith("\xFE\xFF")) return QStringLiteral(" (UTF-16 BE mark)");
    return {};
}

// The text sheet's road with its encoding popup untouched (ImportTextSheet::loadFile).
QStringList readText(const QByteArray &data)
{
    const TextEncoding encoding = guessEncoding(data);
    const TextStatementRead read = readTextStatement(data, encoding);
    QStringList out;
    out << u"encoding: " + SheetTexts::encodingName(encoding) + markOf(data);
    std::vector<int> unreadable;
    for (size_t i = 0; i < read.rows.size(); ++i) {
        const QString text = read.categoryTexts.value(qsizetype(i));
        out << QStringLiteral("row %1 (line %2): ").arg(i + 1).arg(read.rowLines[i]) + rowText(*read.rows[i]) +
                   (text.isEmpty() ? QString() : u" category " + quoted(text));
        if (QString(read.rows[i]->memo() + text).contains(QChar::ReplacementCharacter))
            unreadable.push_back(int(i) + 1);
    }
    if (read.headingLine > 0)
        out << QStringLiteral("heads (line %1): ").arg(read.headingLine) +
                   quoted(read.heads.join(localizedString("ImportText Head Separator")));
    for (const QString &notice : ImportTextSheet::fileNotices(read)) out << u"notice: " + notice;
    if (const QString notice = unreadableNotice(unreadable); !notice.isEmpty()) out << u"notice: " + notice;
    if (read.rows.empty()) out << QStringLiteral("refused: Import-No-Rows");
    return out;
}

// "-" the golden line, "+" today's, two lines of context around each change.
std::string lineDiff(const QStringList &was, const QStringList &now)
{
    const qsizetype n = was.size(), m = now.size();
    std::vector<std::vector<int>> common(size_t(n + 1), std::vector<int>(size_t(m + 1)));
    for (qsizetype i = n - 1; i >= 0; --i)
        for (qsizetype j = m - 1; j >= 0; --j)
            common[i][j] = was[i] == now[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    QStringList lines; // ' ', '-' or '+' then the line
    for (qsizetype i = 0, j = 0; i < n || j < m;) {
        if (i < n && j < m && was[i] == now[j]) {
            lines << u' ' + was[i];
            ++i, ++j;
        } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
            lines << u'-' + was[i++];
        } else {
            lines << u'+' + now[j++];
        }
    }
    std::vector<bool> shown(size_t(lines.size()));
    for (qsizetype k = 0; k < lines.size(); ++k)
        if (!lines[k].startsWith(u' '))
            for (qsizetype c = std::max<qsizetype>(0, k - 2); c < std::min(lines.size(), k + 3); ++c) shown[c] = true;
    std::string out;
    QString file; // each stretch of changes starts with its file's name
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const bool header = lines[k].mid(1).startsWith(u"== ");
        if (header) file = lines[k].mid(4);
        if (!shown[k]) continue;
        if ((k == 0 || !shown[k - 1]) && !header) out += "@@ " + file.toStdString() + '\n';
        out += lines[k].toStdString() + '\n';
    }
    return out;
}

TEST(StatementGoldenTest, EveryStatementFileReadsAsRecorded)
{
    QStringList files;
    for (QDirIterator it(
             kFolder,
             {QStringLiteral("*.ofx"), QStringLiteral("*.csv"), QStringLiteral("*.tsv"), QStringLiteral("*.txt")},
             QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        if (const QString file = QDir(kFolder).relativeFilePath(it.next()); !file.endsWith(u".golden.txt"))
            files << file;
    std::ranges::sort(files);
    ASSERT_GT(files.size(), 100);

    setLanguageOverride(QStringLiteral("en")); // the notices as recorded, whatever the desktop's language
    QStringList now;
    for (const QString &file : files) {
        const ImportFile read = readImportFile(kFolder + u'/' + file);
        now << u"== " + file;
        if (read.status != ImportFileStatus::Read)
            now << QStringLiteral("refused: the file could not be read");
        else
            now << (file.endsWith(u".ofx") ? readOfx(read.data) : readText(read.data));
        now << QString();
    }

    setLanguageOverride(QString());

    QFile golden(kGolden);
    if (qEnvironmentVariableIntValue("CV_UPDATE_GOLDEN") == 1) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write(now.join(u'\n').toUtf8());
        GTEST_SKIP() << "rewrote " << kGolden.toStdString();
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << kGolden.toStdString() << ": run with CV_UPDATE_GOLDEN=1";
    const QStringList was = QString::fromUtf8(golden.readAll()).split(u'\n');
    EXPECT_TRUE(was == now) << "statements read differently from " << kGolden.toStdString()
                            << " (CV_UPDATE_GOLDEN=1 rewrites it; say why each line changed):\n"
                            << lineDiff(was, now);
}

} // namespace
