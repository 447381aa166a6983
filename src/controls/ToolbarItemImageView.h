#pragma once
// The view of a toolbar item: a borderless 48x36 button showing the image
// named by the item's identifier.

#include <QToolButton>

namespace cv {

class ToolbarItemImageView : public QToolButton {
    Q_OBJECT

public:
    static constexpr QSize kSize{48, 36};

    explicit ToolbarItemImageView(const QString &itemIdentifier, QWidget *parent = nullptr);
    QString itemIdentifier() const { return m_identifier; }
    void setItemIdentifier(const QString &identifier);

private:
    QString m_identifier;
};

} // namespace cv
