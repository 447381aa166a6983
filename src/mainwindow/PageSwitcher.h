#pragma once
// The one way the document window changes pages: should -> will -> switch ->
// did. Selecting the shown page does nothing; a "should" that says no leaves
// everything as it was.

#include <QPointer>
#include <QStackedWidget>
#include <QString>

namespace cv {

class WindowPage;

class PageSwitcherClient {
public:
    virtual ~PageSwitcherClient() = default;
    virtual bool shouldSelectPage(int index) = 0;
    virtual void willSelectPage(int index) = 0;
    virtual void didSelectPage(int index) = 0;
};

class PageSwitcher {
public:
    PageSwitcher(QStackedWidget *stack, PageSwitcherClient *client) : m_stack(stack), m_client(client) {}

    int addPage(WindowPage *page);
    void removePage(WindowPage *page);
    int count() const { return m_stack ? m_stack->count() : 0; }
    int currentIndex() const { return m_stack ? m_stack->currentIndex() : -1; }
    WindowPage *page(int index) const;
    WindowPage *currentPage() const { return page(currentIndex()); }
    // -1 when no page has it.
    int indexOf(const QString &identifier) const;
    QString currentIdentifier() const;

    // Whether the page changed.
    bool select(int index);
    bool select(const QString &identifier) { return select(indexOf(identifier)); }

private:
    QPointer<QStackedWidget> m_stack;
    PageSwitcherClient *m_client; // not owned; outlives the switcher
};

} // namespace cv
