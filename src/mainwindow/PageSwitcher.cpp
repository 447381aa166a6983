#include "mainwindow/PageSwitcher.h"

#include "mainwindow/WindowPage.h"
#include "platform/Assert.h"

namespace cv {

int PageSwitcher::addPage(WindowPage *page)
{
    CV_ASSERT_OR(m_stack, return -1);
    // Adding to an empty stack would show the page without the client's say.
    const QSignalBlocker block(m_stack);
    return m_stack->addWidget(page);
}

void PageSwitcher::removePage(WindowPage *page)
{
    if (m_stack) m_stack->removeWidget(page);
}

WindowPage *PageSwitcher::page(int index) const
{
    return m_stack ? qobject_cast<WindowPage *>(m_stack->widget(index)) : nullptr;
}

int PageSwitcher::indexOf(const QString &identifier) const
{
    for (int i = 0; i < count(); ++i) {
        if (WindowPage *p = page(i); p && p->identifier() == identifier) return i;
    }
    return -1;
}

QString PageSwitcher::currentIdentifier() const
{
    WindowPage *p = currentPage();
    return p ? p->identifier() : QString();
}

bool PageSwitcher::select(int index)
{
    if (!m_stack || index < 0 || index >= count() || index == currentIndex()) return false;
    if (m_client && !m_client->shouldSelectPage(index)) return false;
    if (m_client) m_client->willSelectPage(index);
    m_stack->setCurrentIndex(index);
    if (m_client) m_client->didSelectPage(index);
    return true;
}

} // namespace cv
