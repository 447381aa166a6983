#pragma once
// The document window's toolbar: one item per identifier, labelled from the
// string table with the identifier as key, icons 48x36 with the text under
// them. Its context menu chooses icon/text mode and which items show; the
// choice is kept in QSettings under "CV4Document Toolbar Identifier". Items
// beyond the default set (the viewer's) are offered there, hidden at first.

#include <QStringList>
#include <QToolBar>

class QSettings;

namespace cv {

class DocumentToolbar : public QToolBar {
    Q_OBJECT
public:
    static const QString kIdentifier;
    static const QSize kIconSize;
    enum DisplayMode { IconAndLabel = 1, IconOnly = 2, LabelOnly = 3 };

    // `settings` not owned; null: the application's own.
    explicit DocumentToolbar(QSettings *settings = nullptr, QWidget *parent = nullptr);

    static QStringList defaultItemIdentifiers();
    // Every item the toolbar offers, in order.
    static QStringList allowedItemIdentifiers();
    QStringList itemIdentifiers() const { return m_identifiers; }
    QAction *actionFor(const QString &identifier) const;
    DisplayMode displayMode() const { return m_mode; }
    void setDisplayMode(DisplayMode mode);
    bool isItemVisible(const QString &identifier) const;
    void setItemVisible(const QString &identifier, bool visible);
    // The item of the shown page carries a check; "" (the temporary page) none.
    void setSelectedIdentifier(const QString &identifier);
    // The context menu as it is shown; the caller owns it.
    QMenu *makeContextMenu(QWidget *parent);

Q_SIGNALS:
    void itemTriggered(const QString &identifier);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void save() const;
    QSettings &settings() const;

    QSettings *m_settings;
    QStringList m_identifiers;
    QList<QAction *> m_actions;
    DisplayMode m_mode = IconAndLabel;
};

} // namespace cv
