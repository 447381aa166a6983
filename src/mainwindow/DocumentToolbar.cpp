#include "mainwindow/DocumentToolbar.h"

#include "platform/Localization.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QIcon>
#include <QMenu>
#include <QSettings>

namespace cv {

const QString DocumentToolbar::kIdentifier = QStringLiteral("CV4Document Toolbar Identifier");
const QSize DocumentToolbar::kIconSize(48, 36);

namespace {
const QString kModeKey = QStringLiteral("DisplayMode");
const QString kHiddenKey = QStringLiteral("HiddenItems");
const QString kShownKey = QStringLiteral("ShownItems"); // of the items outside the default set
} // namespace

DocumentToolbar::DocumentToolbar(QSettings *settings, QWidget *parent)
    : QToolBar(parent), m_settings(settings), m_identifiers(allowedItemIdentifiers())
{
    setObjectName(kIdentifier);
    setWindowTitle(localizedString(QStringLiteral("Toolbar")));
    setMovable(false);
    setFloatable(false);
    setIconSize(kIconSize);
    // Our own context menu replaces the main window's dock and toolbar menu.
    setContextMenuPolicy(Qt::DefaultContextMenu);
    for (const QString &identifier : m_identifiers) {
        auto *action =
            addAction(QIcon(QStringLiteral(":/toolbar/%1.xpm").arg(identifier)), localizedString(identifier));
        action->setData(identifier);
        action->setObjectName(identifier);
        // Page items show which page is up; the wizard and reports open windows.
        action->setCheckable(identifier != QLatin1String("TB07") && identifier != QLatin1String("TB04"));
        connect(action, &QAction::triggered, this, [this, identifier] { Q_EMIT itemTriggered(identifier); });
        m_actions.append(action);
    }

    QSettings &s = this->settings();
    s.beginGroup(kIdentifier);
    const int mode = s.value(kModeKey, int(IconAndLabel)).toInt();
    const QStringList hidden = s.value(kHiddenKey).toStringList();
    const QStringList shown = s.value(kShownKey).toStringList();
    s.endGroup();
    setDisplayMode(mode >= IconAndLabel && mode <= LabelOnly ? DisplayMode(mode) : IconAndLabel);
    const QStringList defaults = defaultItemIdentifiers();
    for (QAction *action : m_actions) {
        const QString identifier = action->data().toString();
        action->setVisible(defaults.contains(identifier) ? !hidden.contains(identifier) : shown.contains(identifier));
    }
}

QSettings &DocumentToolbar::settings() const
{
    if (m_settings) return *m_settings;
    auto *self = const_cast<DocumentToolbar *>(this);
    self->m_settings = new QSettings(self);
    return *m_settings;
}

QStringList DocumentToolbar::defaultItemIdentifiers()
{
    return {QStringLiteral("TB07"), QStringLiteral("TB03"), QStringLiteral("TB02"), QStringLiteral("TB05"),
            QStringLiteral("TB06")};
}

QStringList DocumentToolbar::allowedItemIdentifiers()
{
    return QStringList{QStringLiteral("TB01")} + defaultItemIdentifiers();
}

QAction *DocumentToolbar::actionFor(const QString &identifier) const
{
    for (QAction *action : m_actions) {
        if (action->data().toString() == identifier) return action;
    }
    return nullptr;
}

void DocumentToolbar::setDisplayMode(DisplayMode mode)
{
    m_mode = mode;
    switch (mode) {
    case IconOnly: setToolButtonStyle(Qt::ToolButtonIconOnly); break;
    case LabelOnly: setToolButtonStyle(Qt::ToolButtonTextOnly); break;
    default: setToolButtonStyle(Qt::ToolButtonTextUnderIcon); break;
    }
}

void DocumentToolbar::setSelectedIdentifier(const QString &identifier)
{
    for (QAction *action : m_actions) {
        if (action->isCheckable()) action->setChecked(action->data().toString() == identifier);
    }
}

bool DocumentToolbar::isItemVisible(const QString &identifier) const
{
    QAction *action = actionFor(identifier);
    return action && action->isVisible();
}

void DocumentToolbar::setItemVisible(const QString &identifier, bool visible)
{
    if (QAction *action = actionFor(identifier)) action->setVisible(visible);
}

void DocumentToolbar::save() const
{
    QStringList hidden;
    QStringList shown;
    const QStringList defaults = defaultItemIdentifiers();
    for (QAction *action : m_actions) {
        const QString identifier = action->data().toString();
        if (defaults.contains(identifier) && !action->isVisible()) hidden.append(identifier);
        if (!defaults.contains(identifier) && action->isVisible()) shown.append(identifier);
    }
    QSettings &s = settings();
    s.beginGroup(kIdentifier);
    s.setValue(kModeKey, int(m_mode));
    s.setValue(kHiddenKey, hidden);
    s.setValue(kShownKey, shown);
    s.endGroup();
}

QMenu *DocumentToolbar::makeContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    auto *modes = new QActionGroup(menu);
    const std::pair<DisplayMode, const char *> modeItems[] = {
        {IconAndLabel, "Toolbar Icon and Text"}, {IconOnly, "Toolbar Icon Only"}, {LabelOnly, "Toolbar Text Only"}};
    for (const auto &[mode, key] : modeItems) {
        QAction *item = menu->addAction(localizedString(key));
        item->setCheckable(true);
        item->setChecked(m_mode == mode);
        item->setData(int(mode));
        modes->addAction(item);
        connect(item, &QAction::triggered, this, [this, m = mode] {
            setDisplayMode(m);
            save();
        });
    }
    menu->addSeparator();
    for (QAction *action : m_actions) {
        QAction *item = menu->addAction(action->text());
        item->setCheckable(true);
        item->setChecked(action->isVisible());
        item->setData(action->data());
        connect(item, &QAction::toggled, this, [this, action](bool on) {
            action->setVisible(on);
            save();
        });
    }
    return menu;
}

void DocumentToolbar::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = makeContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace cv
