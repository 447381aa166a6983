#include "controls/CVToolbarItemImageView.h"

#include <QIcon>

CVToolbarItemImageView::CVToolbarItemImageView(const QString &itemIdentifier, QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFixedSize(kSize);
    setIconSize(kSize);
    setFocusPolicy(Qt::NoFocus);
    setItemIdentifier(itemIdentifier);
}

void CVToolbarItemImageView::setItemIdentifier(const QString &identifier)
{
    m_identifier = identifier;
    // The application's images are resources named by the identifier.
    setIcon(QIcon(QStringLiteral(":/images/%1.png").arg(identifier)));
}
