#pragma once
// The panels' small yen book for the import sheets' tests, with what the
// store holds after a commit, the learned-mapping records seeded or read
// back, and files written for the open panel.

#include "document/EditScope.h"
#include "import/LearnedMapping.h"
#include "panels/PanelTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace importtest {

using Stored = std::tuple<QDate, cv::EntryKind, double, int, int, int,
                          QString>; // date, kind, amount, category, account, destination, memo

class ImportBookTest : public paneltest::BookTest {
protected:
    // Every entry of the book, sorted.
    std::vector<Stored> stored()
    {
        cv::SearchConditions all;
        all.date = {QDate(1, 1, 1), QDate(9999, 12, 31)};
        std::vector<Stored> out;
        const auto entries = doc->store()->findEntry(all);
        for (const cv::EntryPtr &e : entries.value())
            out.emplace_back(e->date(), e->kind(), e->amount(), e->category(), e->account(), e->destination(),
                             e->memo());
        std::sort(out.begin(), out.end());
        return out;
    }
    cv::LearnedMapping record(int number) { return cv::LearnedMapping::read(*doc, number); }
    void seed(int number, const cv::LearnedMapping &mapping)
    {
        cv::EditScope edit(*doc);
        ASSERT_TRUE(mapping.write(*doc, number));
    }
    void seed(int number, const std::vector<std::pair<QString, int>> &values)
    {
        cv::LearnedMapping mapping;
        for (const auto &[key, value] : values) mapping.learn(key, value);
        seed(number, mapping);
    }
    // The path of a file of that name holding the bytes, there while the test runs.
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_files.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }

private:
    QTemporaryDir m_files;
};

} // namespace importtest
