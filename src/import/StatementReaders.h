#pragma once
// The statement readers: bank and card statements in OFX 1.x (the SGML
// form) and OFX 2 (XML), from the file's bytes to pending rows (see
// PendingRows.h). Pure functions: no window, no book.
//
// Rows: kind 0 income, 1 expense (flags PendingOutgoing), or 2 for an OFX 2
// DEP with a negative amount (a transfer from the wallet, account 10,
// category 10); amount always positive; account -n for the n-th imported
// account id (0 when none was read before the transaction). Every row has
// a valid date.

#include "import/TextDecoder.h"
#include "model/Entry.h"

#include <QByteArrayView>
#include <QStringList>

#include <optional>
#include <vector>

namespace cv {

// A transaction that gave no row: without a date that reads, or without an
// amount that reads whole (OFX 1.x: or with 0), as the file writes them.
struct UnreadTransaction {
    int place = 0; // the n-th transaction of the file, from 1
    QString date;  // the date's text, "" when none (OFX 2: yyyyMMdd when it read)
    QString name;  // its memo
    bool operator==(const UnreadTransaction &) const = default;
};

struct StatementRead {
    enum class Status {
        NotRecognised, // not a statement of this form
        Damaged,       // of this form, but malformed or cut off: nothing is kept
        Read,          // read; may hold no rows
    };
    Status status = Status::NotRecognised;
    std::vector<EntryPtr> rows;            // in file order, owned
    QStringList accounts;                  // the imported account ids in file order
    QStringList currencies;                // per row: its statement's CURDEF, "" when it names none
    std::vector<UnreadTransaction> unread; // in file order
    // The encoding the text was read in when the bytes overruled the one
    // the file names; none when the file's own was followed.
    std::optional<TextEncoding> labelOverruled;
};

// Whether the bytes begin as XML ("<?xml", or the "<?OFX" instruction
// alone, after a UTF-8 mark and blanks, or in UTF-16 with a mark): such a
// file is read as OFX 2.
bool looksLikeOfx2(QByteArrayView data);

// OFX 1.x: after an "OFXHEADER:" header, or from an <OFX> root whatever
// precedes it; the header's CHARSET or ENCODING names the text's encoding,
// which the bytes may overrule (chooseEncoding, EncodingGuess.h).
StatementRead readOfx1(QByteArrayView data);
// OFX 2 is read by a plain reader for the common form (elements without
// attributes, no DOCTYPE, the five predefined entities and character
// references); anything else goes to the toolkit's XML parser.
// readOfx2ByToolkit never takes the plain road: the two agree on every file
// (the fuzz target compares them).
StatementRead readOfx2(QByteArrayView data);
StatementRead readOfx2ByToolkit(QByteArrayView data);
// Whether readOfx2 reads the file by its plain reader alone.
bool readsOfx2Plainly(QByteArrayView data);

// OFX 2 when the file looks like it, else OFX 1.x; an XML file whose
// elements are left unclosed (an SGML body under a declaration) is read as
// OFX 1.x too, unless it is cut off before "</OFX>".
StatementRead readStatement(QByteArrayView data);

} // namespace cv
