#include "controls/ToolbarItemImageView.h"

#include <QIcon>

namespace cv {

ToolbarItemImageView::ToolbarItemImageView(const QString &itemIdentifier, QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFixedSize(kSize);
    setIconSize(kSize);
    setFocusPolicy(Qt::NoFocus);
    setItemIdentifier(itemIdentifier);
}

void ToolbarItemImageView::setItemIdentifier(const QString &identifier)
{
    m_identifier = identifier;
    // The application's images are resources named by the identifier.
    setIcon(QIcon(QStringLiteral(":/images/%1.png").arg(identifier)));
}

} // namespace cv
