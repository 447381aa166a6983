#pragma once
// What the document and its controller need of the GUI. The document library
// has no widgets: the GUI installs an implementation at start-up, tests
// install their own. Without one, nothing is shown and a password is never
// right, so a protected document does not open.

#include <QString>

namespace cv {

class Book;
class Settings;

class BookUI {
public:
    virtual ~BookUI() = default;

    // The busy window shown while a file is read; the title is final text.
    virtual void beginBusy(const QString &title) {}
    virtual void endBusy() {}
    // One modal run of the password dialog: 1 right, 0 wrong, -1 cancelled.
    // `book` names the file asked for; `retry`: the last entry was wrong.
    virtual int askPassword(const Settings &settings, const QString &book, bool retry) { return -1; }
    virtual void beep() {}
    // Where to save the document; a null text cancels.
    virtual QString askSavePath(Book &document, const QString &suggestedPath) { return QString(); }

    // The document's windows.
    virtual void makeWindows(Book &document) {}
    virtual void showWindows(Book &document) {}
    virtual void closeWindows(Book &document) {}
};

// Not owned; null returns to the silent default. Answers the one replaced.
BookUI *setDocumentUI(BookUI *ui);
// Never null.
BookUI &documentUI();

} // namespace cv
