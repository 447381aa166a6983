#include "mainwindow/viewer/PeriodBar.h"

#include "controls/DateField.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace cv {

PeriodBar PeriodBar::build(QWidget *bar, const Names &names, const Layout &layout)
{
    PeriodBar b;
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 0);
    b.unitButton = new QComboBox(bar);
    b.unitButton->setObjectName(QLatin1String(names.unit));
    for (int unit = layout.firstUnit; unit <= layout.lastUnit; ++unit)
        b.unitButton->addItem(localizedString(QStringLiteral("Viewer Unit %1").arg(unit)), unit);
    const auto button = [&](const char *key, const char *name) {
        auto *tool = new QToolButton(bar);
        tool->setText(localizedString(key));
        tool->setObjectName(QLatin1String(name));
        return tool;
    };
    b.previous = button("Viewer Previous", names.previous);
    b.today = button("Today", names.today);
    styleTodayButton(b.today);
    b.next = button("Viewer Next", names.next);
    b.dateField = new DateField(bar);
    b.dateField->setObjectName(QLatin1String(names.date));
    b.cellSlider = new QSlider(Qt::Horizontal, bar);
    b.cellSlider->setObjectName(QLatin1String(names.slider));
    b.cellSlider->setRange(layout.minCellWidth, layout.maxCellWidth);
    b.cellSlider->setFixedWidth(120);

    for (QWidget *widget :
         {static_cast<QWidget *>(b.unitButton), static_cast<QWidget *>(b.previous), static_cast<QWidget *>(b.today),
          static_cast<QWidget *>(b.next), static_cast<QWidget *>(b.dateField)})
        row->addWidget(widget);
    for (QWidget *widget : layout.afterDate) row->addWidget(widget);
    row->addStretch(1);
    for (QWidget *widget : layout.beforeWidth) row->addWidget(widget);
    row->addWidget(new QLabel(localizedString("Viewer Cell Width"), bar));
    row->addWidget(b.cellSlider);
    return b;
}

void PeriodBar::styleTodayButton(QToolButton *button)
{
    button->setStyleSheet(
        QStringLiteral("QToolButton { font-weight: bold; font-size: 13px; color: white; background-color: #3d6fb6;"
                       " border: 1px solid #2c548c; border-radius: 4px; padding: 2px 10px; }"
                       "QToolButton:hover { background-color: #4a7fc8; }"
                       "QToolButton:pressed { background-color: #2c548c; }"
                       "QToolButton:disabled { background-color: #9db3d3; }"));
}

} // namespace cv
