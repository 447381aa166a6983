#pragma once
// One page of the document window. The page's contents come with its own
// part of the program; the window only enters, leaves and commits pages.

#include "print/PrintedPages.h"

#include <QWidget>

#include <memory>

namespace cv {

class Book;

class WindowPage : public QWidget {
    Q_OBJECT
public:
    WindowPage(const QString &identifier, Book *document, QWidget *parent = nullptr);

    const QString &identifier() const { return m_identifier; }
    Book *document() const { return m_document; }

    // Pending input of the page is stored before another page shows.
    virtual void commitPendingInput() {}
    // The page is about to show; `dirty` when its data changed while hidden.
    virtual void enter(bool dirty) {}
    virtual void leave() {}
    // The balances were rebuilt under the shown page: read every value again.
    virtual void reloadData() {}
    // The window's first day (viewer, budget, currency) or the investment
    // date was set from the calendar.
    virtual void dateChosen(const QDate &date) {}
    // Whether a print of the page has anything to print.
    virtual bool hasPrintableContent() const { return false; }
    // The page's print view for the setup (which the view may change); none
    // when there is nothing to print.
    virtual std::unique_ptr<PrintedPages> makePrintView(PageSetup &setup) { return nullptr; }

    // Whether the page is the one its window shows.
    bool isCurrentPage() const;

protected:
    // The heading shown until the page's contents are built.
    void addHeading();

private:
    QString m_identifier;
    Book *m_document; // not owned; the window goes before its document
};

} // namespace cv
