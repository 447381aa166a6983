#pragma once
// One edit of the book: the scope opens the store transaction and the write
// batch, the write path records what it touches, and the outermost scope's
// end commits, brings the touched balances up to date, updates the change
// mark and emits each change signal once with the union of what changed.
// A scope that failed (a store write was refused, or `fail()` was called)
// rolls the store back, rebuilds the cache from what the store holds, warns
// once and emits nothing. Nested scopes join the outermost one.
//
//     {
//         cv::EditScope edit(document);
//         document.updateExpense(entry, nullptr);
//         document.updateTransfer(transfer, nullptr);
//     }   // one commit, one accumulation, one categoryChanged/entriesChanged
//
// Every write-path operation of Book opens its own scope when the
// caller has none, so a single call is an edit of its own.

namespace cv {

class Book;

class EditScope {
public:
    // What the edit writes to the store. An edit of at most one statement is
    // atomic by itself and skips the transaction's BEGIN and COMMIT, which
    // would cost a lone entry edit a tenth of its time.
    enum class Writes {
        Several,   // any number of store writes: one transaction around them
        AtMostOne, // one store statement or none
    };

    explicit EditScope(Book &document, Writes writes = Writes::Several);
    ~EditScope();
    EditScope(const EditScope &) = delete;
    EditScope &operator=(const EditScope &) = delete;

    // Rolls the whole edit back at the outermost end, whatever else succeeds.
    void fail();

private:
    Book &m_document; // not owned; outlives the scope
};

} // namespace cv
