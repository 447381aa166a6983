#pragma once
// The entry lines of the whole-document XML form, read without the general
// XML reader: an entry as the writer prints it (one line, or three with its
// note) is most of a book, and tokenizing it through the reader was most of
// the import. Anything that differs in the least from that form is left to the
// general reader, so the two readings can never disagree.

#include "model/Entry.h"

#include <QByteArrayView>

namespace cv::xml {

// One entry as the reader would build it from its attributes and note.
struct EntryLine {
    Entry entry;
    qsizetype length = 0; // bytes, with the last line's end
    int lines = 0;
};

enum class EntryScan {
    Entry,      // `out` holds the entry
    Other,      // not in the writer's form: for the general reader
    Incomplete, // the form may continue past the bytes given
};

// The entry starting at the beginning of `text` (a line's start).
EntryScan scanEntryLines(QByteArrayView text, EntryLine &out);

// Whether the file's first bytes promise UTF-8 text, the only encoding the
// entry lines are read in.
bool isUtf8Declared(QByteArrayView start);

// Where a stream of XML bytes stands, line by line: between markup or inside
// a tag, comment, section or instruction, and how many elements are open. A
// line is taken apart only where this says the general reader would see text
// inside the outermost element; it gives up for good at a document type.
class MarkupState {
public:
    void advance(QByteArrayView bytes);
    bool insideElement() const { return m_state == Text && m_depth > 0; }

private:
    enum State { Text, Tag, Quoted, Comment, Section, Instruction, Unknown };
    State m_state = Text;
    char m_quote = 0;
    bool m_endTag = false;
    char m_last = 0; // the tag's previous byte, for "/>"
    long long m_depth = 0;
};

} // namespace cv::xml
