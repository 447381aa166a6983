#pragma once
// The import sheets whose rows become entries (bank and card statements,
// text statements, mobile entries): pending rows reviewed in the table,
// choosers on its cells, the learned mappings read when the sheet opens and
// written with the rows, and the commit of the finished rows in one edit.

#include "import/ImportSheet.h"
#include "import/LearnedMapping.h"
#include "import/TextDecoder.h"
#include "model/Entry.h"

#include <QDate>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QLabel;

namespace cv {

class ChooserModel;

class EntryImportSheet : public ImportSheet {
    Q_OBJECT
public:
    // Whether the row can be written as it is.
    virtual bool isValid(const Entry &row) const = 0;
    // What the user should know about the file before OK; hidden while empty.
    QLabel *noticeLabel() const { return m_notice; }

protected:
    // `mappingRecords`: the learned mappings the sheet applies and learns.
    EntryImportSheet(Book *document, QWidget *parent, std::initializer_list<int> mappingRecords);
    ~EntryImportSheet() override;

    virtual int pendingCount() const = 0;
    virtual Entry &pendingEntry(int row) const = 0;
    virtual void handleClick(int column, int row) = 0;
    // A category makes the row an income or expense by its direction again;
    // a partner makes it a transfer (the partner on the destination side).
    virtual void assignCategory(Entry &row, int category) const;
    virtual void assignPartner(Entry &row, int partner) const;

    // The table of pending rows, rejected ones red and unfinished ones grey;
    // the client gives alignment and ticks, the rest comes from the sheet.
    void addReviewTable(QVBoxLayout *layout, std::initializer_list<const char *> headerKeys,
                        ImportRowsModel::Client client, std::initializer_list<int> widths, int stretchColumn);
    void addNotice(QVBoxLayout *layout);
    // The sheet's notice, and the rows whose text holds a character that
    // did not decode, as found when the file was read.
    void setNotice(const QString &text);
    void findUnreadableRows();
    // "1, 2, 17": the first numbers of a list, "…" for the rest.
    static QString numberList(const std::vector<int> &numbers);
    // The encoding's name as the text sheet's popup shows it.
    static QString encodingName(TextEncoding encoding);
    // The file's text read in `encoding`, not in the one the file names.
    static QString labelOverruledNotice(TextEncoding encoding);
    // The alert, naming the file, for a file read without a row; `key` is its message.
    void alertNoRows(const char *key, const QString &path);
    QString categoryName(const Entry &row) const; // "" for none
    QString accountName(int ident) const;         // "" for none
    // The amount in the money-in or money-out column of the row's direction,
    // "" in the other; in the account's currency, as it will be stored.
    QString amountText(const Entry &row, bool outgoing, bool outgoingColumn, int account) const;

    // Opens the list as a chooser on the cell, the current ident marked;
    // `picked` gets the ident chosen.
    void runChooser(int column, int row, std::unique_ptr<ChooserModel> list, int current,
                    std::function<void(int)> picked);
    void setRejectStatus(bool rejected);
    // A date from the popup calendar: every selected row takes it.
    void setSelectedDates(const QDate &date);

    const LearnedMapping &mapping(int record) const;
    bool hasLearned() const; // any mapping has a value to apply
    template <class Key> void learn(int record, const Key &key, int value)
    {
        m_mappingChanged |= mappingFor(record).learn(key, value);
    }
    // A learned category or partner applied to the row when it still fits;
    // whether the row changed.
    bool applyLearnedTarget(Entry &row, std::optional<int> value) const;
    bool applyLearnedAccount(Entry &row, std::optional<int> value) const;

    // The question for unfinished rows: true fills in defaults, false leaves
    // them out; none on Cancel.
    std::optional<bool> askDefaults(const char *titleKey, const char *messageKey) const;
    // The finished rows stored through the write path, with the mappings
    // when something was learned, in one edit; false when the store refused
    // it: the pending rows then stay as the user left them.
    bool storeEntries(const std::vector<EntryPtr> &entries);

private:
    LearnedMapping &mappingFor(int record);

    std::vector<std::pair<int, LearnedMapping>> m_mappings; // by record, in writing order
    bool m_mappingChanged = false;                          // a mapping was learned while reviewing
    std::unique_ptr<ChooserModel> m_chooserSource;          // the open chooser's list
    QLabel *m_notice = nullptr;                             // a child
    std::vector<int> m_unreadableRows;                      // 1-based rows holding U+FFFD
};

} // namespace cv
