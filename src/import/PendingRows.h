#pragma once
// Pending import rows: Entry records that are not stored yet. While
// pending, flags bit 1 marks a row the user rejected and bit 2 money that
// leaves the statement (or import) account; negative accounts are imported
// account ids (position -account-1 of the reader's id list).

#include "model/Entry.h"

namespace cv {

class Book;

inline constexpr int PendingRejected = 1;
inline constexpr int PendingOutgoing = 2;

// Stores a finished row as a new entry through the write path: ident -1,
// flags 0; an income or expense keeps its category, a transfer gets the
// book's transfer category (10-13, by whether each side is a debt account:
// Book::fixupTransferCategory, the rule the entry panels use).
// Call inside the commit's edit scope.
void storePendingRow(Book &document, const EntryPtr &row);

// An amount read from a file, rounded down to the digits of the account's
// currency: a file may write cents where the account keeps whole yen.
double roundedForAccount(const Book &document, double amount, int account);

// A transfer between accounts of different currencies whose file gave one
// side only: `known` (the row's account or destination) keeps the amount as
// read, the other side gets it converted at the book's rate of the row's
// date, as the transfer panels store it. A converted amount already given
// (the transfer choice window asks for it) is kept.
void convertPendingTransfer(const Book &document, Entry &row, int known);

} // namespace cv
