#pragma once
// What the document window asks of an entry panel it hosts in its temporary
// page (or of the search results, which commit like one). The window finds
// it on the panel's widget with dynamic_cast; every optional message has a
// default meaning "not the panel's".

#include <QDate>
#include <QString>

#include <optional>

class QObject;

namespace cv {

class HostedPanel {
public:
    virtual ~HostedPanel() = default;

    // Ends the cell edit and writes what changed; the panel stays open with
    // its rows read back, so a later commit writes nothing twice. Called
    // before a save.
    virtual void commitPendingInput() = 0;
    // The page is left: the last commit, the panel's end and its undo steps
    // cleared. Answers returnCode().
    virtual int commitPanel() = 0;
    // Rows written by the last commit; 1 or more: the viewer refreshes.
    virtual int returnCode() const = 0;

    // The grid that opened the panel, before the panel is shown.
    virtual void willMaximizeForView(QObject *view) {}
    // A toolbar item while the panel is shown; true: handled, the page stays.
    virtual bool handleToolbar(const QString &identifier) { return false; }
    // A window menu item while the panel is shown; none: the window decides.
    virtual std::optional<bool> validateMenuTag(int tag) const { return std::nullopt; }
    // The calculator's value.
    virtual void performInputValue(const QString &value) {}
    // The calendar window's date.
    virtual void performInputDate(const QDate &date) {}
    // A failed edit was taken back and the book read again from its store:
    // the panel finds what it shows again by ident. False: the book does not
    // hold it; the panel has dropped its input and the page closes it.
    virtual bool reloadItem() { return true; }
    // Input that is not stored after a commit: one taken back keeps what was
    // typed, and the page stays for OK again.
    virtual bool hasPendingInput() const { return false; }
};

inline HostedPanel *hostedPanel(QObject *object)
{
    return dynamic_cast<HostedPanel *>(object);
}

} // namespace cv
