#pragma once
// Synthetic household books for measuring the document core: a realistic mix
// of entries, rates, prices, trades, budgets, a loan and groupings, written
// through the document's own write path. The same options and seed always
// give the same book.

#include <QDate>
#include <QString>

namespace cv {
class Book;
}

namespace cv::bench {

struct BookOptions {
    int entries = 10000; // entries and trades together
    int years = 20;      // ending with lastDay
    unsigned seed = 1;
    QDate lastDay = QDate(2024, 12, 31);
};

struct BookStats {
    int entries = 0; // rows of the entry table
    int trades = 0;
    int rates = 0;
    int prices = 0;
    int loanRows = 0; // repayment schedule rows
};

// Fills a document whose store was just created (store()->create()).
BookStats generateBook(cv::Book &doc, const BookOptions &options);

// Writes the models to their info rows and the store to the document file.
bool saveBook(cv::Book &doc, const QString &path);

// Opens a .cvv2 or .cvxf file as the program does, until the book is ready
// to show. False when it cannot be read.
bool openBook(cv::Book &doc, const QString &path);

// Days between the first and last day of the book's span.
QDate firstDayOf(const BookOptions &options);

} // namespace cv::bench
