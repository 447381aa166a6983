#include "mainwindow/WindowPage.h"

#include "platform/Localization.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace cv {

WindowPage::WindowPage(const QString &identifier, Book *document, QWidget *parent)
    : QWidget(parent), m_identifier(identifier), m_document(document)
{
    setObjectName(identifier.isEmpty() ? QStringLiteral("TemporaryPage") : identifier);
}

bool WindowPage::isCurrentPage() const
{
    const auto *stack = qobject_cast<const QStackedWidget *>(parentWidget());
    return stack ? stack->currentWidget() == this : isVisible();
}

void WindowPage::addHeading()
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(localizedString(m_identifier), this);
    QFont font = heading->font();
    font.setPixelSize(20);
    font.setBold(true);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
}

} // namespace cv
