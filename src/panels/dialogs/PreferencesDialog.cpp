#include "panels/dialogs/PreferencesDialog.h"

#include "document/Preference.h"
#include "panels/dialogs/CalculatorWindow.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace cv {

namespace {

int decimals(int unit)
{
    return unit == PreferencesDialog::Inches ? 2 : 1;
}

double increment(int unit)
{
    return unit == PreferencesDialog::Inches ? 0.05 : 1.0;
}

} // namespace

PreferencesDialog::PreferencesDialog(Preference *preference, QWidget *parent) : QDialog(parent), m_pref(preference)
{
    Q_ASSERT(preference);
    setWindowTitle(cv::localizedString("Preference-Title"));
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_tabView = new QTabWidget(this);
    m_tabView->addTab(buildViewTab(), cv::localizedString("Preference-Tab-View"));
    m_tabView->addTab(buildPrintTab(), cv::localizedString("Preference-Tab-Print"));
    m_tabView->addTab(buildMiscTab(), cv::localizedString("Preference-Tab-Misc"));
    layout->addWidget(m_tabView);

    auto *buttons = new QHBoxLayout;
    auto *resetButton = new QPushButton(cv::localizedString("Preference-Reset"), this);
    auto *cancelButton = new QPushButton(cv::localizedString("Cancel"), this);
    m_okButton = new QPushButton(cv::localizedString("OK"), this);
    m_okButton->setDefault(true);
    buttons->addWidget(resetButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(m_okButton);
    layout->addLayout(buttons);
    connect(resetButton, &QPushButton::clicked, this, &PreferencesDialog::resetPushed);
    connect(cancelButton, &QPushButton::clicked, this, &PreferencesDialog::cancelPushed);
    connect(m_okButton, &QPushButton::clicked, this, &PreferencesDialog::okPushed);

    m_oldBackupCount = preference ? preference->backupCount() : 0;
    if (preference) {
        setViewParam(*preference);
        setPrintParam(*preference);
        setMiscParam(*preference);
    }
    m_tabView->setCurrentIndex(0);
    m_change = 0;
    m_okButton->setEnabled(false);
}

int PreferencesDialog::openPreferencePanel(Preference *preference, QWidget *parent)
{
    if (!preference) return 0;
    PreferencesDialog panel(preference, parent);
    const int code = panel.exec();
    if (code > 0) {
        preference->save();
        if (CalculatorWindow *calculator = CalculatorWindow::existing())
            calculator->setTaxFracProcess(preference->taxFracProcess());
        if (code & ViewChanged)
            for (QWidget *window : QApplication::topLevelWidgets()) window->update();
    }
    return code;
}

// ---------------------------------------------------------------- units

double PreferencesDialog::pointToUnit(double points, int unit)
{
    if (unit == Millimetres) return points * 0.35277777777777775;
    if (unit == Inches) return points / 72.0;
    return points;
}

double PreferencesDialog::unitToPoint(double value, int unit)
{
    if (unit == Millimetres) return value * 2.834645669291339;
    if (unit == Inches) return value * 72.0;
    return value;
}

// ---------------------------------------------------------------- building

QWidget *PreferencesDialog::buildViewTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    const char *labels[] = {"Preference-Title-Color", "Preference-Category-Color", "Preference-Future-Color"};
    for (int well = 0; well < 3; ++well) {
        m_wells[well] = new QPushButton(page);
        m_wells[well]->setFixedSize(56, 22);
        connect(m_wells[well], &QPushButton::clicked, this, [this, well] {
            const QColor color =
                QColorDialog::getColor(m_colors[well], this, QString(), QColorDialog::ShowAlphaChannel);
            if (color.isValid()) setColor(well, color);
        });
        form->addRow(cv::localizedString(labels[well]), m_wells[well]);
    }
    return page;
}

QWidget *PreferencesDialog::buildPrintTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    m_measureButton = new QComboBox(page);
    m_measureButton->addItem(cv::localizedString("Preference-Unit-mm"), int(Millimetres));
    m_measureButton->addItem(cv::localizedString("Preference-Unit-inch"), int(Inches));
    m_measureButton->addItem(cv::localizedString("Preference-Unit-point"), int(Points));
    connect(m_measureButton, &QComboBox::activated, this,
            [this](int index) { setMeasure(m_measureButton->itemData(index).toInt()); });
    grid->addWidget(new QLabel(cv::localizedString("Preference-Unit"), page), 0, 0);
    grid->addWidget(m_measureButton, 0, 1, 1, 2);
    const char *labels[] = {"Preference-Top-Margin", "Preference-Left-Margin", "Preference-Bottom-Margin",
                            "Preference-Right-Margin"};
    for (int margin = 0; margin < 4; ++margin) {
        auto *field = new QLineEdit(page);
        field->setAlignment(Qt::AlignRight);
        field->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhFormattedNumbersOnly);
        field->setFixedWidth(72);
        m_fields[margin] = field;
        auto *stepper = new QVBoxLayout;
        stepper->setSpacing(0);
        for (const int steps : {1, -1}) {
            auto *arrow = new QToolButton(page);
            arrow->setArrowType(steps > 0 ? Qt::UpArrow : Qt::DownArrow);
            arrow->setFixedSize(16, 11);
            arrow->setAutoRepeat(true);
            connect(arrow, &QToolButton::clicked, this, [this, margin, steps] { stepMargin(margin, steps); });
            stepper->addWidget(arrow);
        }
        connect(field, &QLineEdit::editingFinished, this, [this, margin] { marginTyped(margin); });
        grid->addWidget(new QLabel(cv::localizedString(labels[margin]), page), margin + 1, 0);
        grid->addWidget(field, margin + 1, 1);
        grid->addLayout(stepper, margin + 1, 2);
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget *PreferencesDialog::buildMiscTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_autoPriceUpdateButton = new QCheckBox(cv::localizedString("Preference-Auto-Price-Update"), page);
    m_showInitialPanelButton = new QCheckBox(cv::localizedString("Preference-Show-Initial-Panel"), page);
    connect(m_autoPriceUpdateButton, &QCheckBox::clicked, this, [this] { changed(MiscChanged); });
    connect(m_showInitialPanelButton, &QCheckBox::clicked, this, [this] { changed(MiscChanged); });
    layout->addWidget(m_autoPriceUpdateButton);
    layout->addWidget(m_showInitialPanelButton);
    auto *backups = new QHBoxLayout;
    backups->addWidget(new QLabel(cv::localizedString("Preference-Backup-Count"), page));
    m_backupCountField = new QSpinBox(page);
    m_backupCountField->setObjectName(QStringLiteral("backupCount"));
    // The backups count 51 and more as 50.
    m_backupCountField->setRange(0, 50);
    m_backupCountField->setSpecialValueText(cv::localizedString("Preference-Backup-None"));
    backups->addWidget(m_backupCountField);
    backups->addStretch(1);
    layout->addLayout(backups);
    // A count changed alone is kept too: the caller saves on a change only.
    connect(m_backupCountField, &QSpinBox::valueChanged, this, [this] {
        if (!m_showing) changed(MiscChanged);
    });
    layout->addWidget(new QLabel(cv::localizedString("Preference-Tax-Fraction"), page));
    m_taxFractionProcess = new QButtonGroup(page);
    const char *rules[] = {"Preference-Tax-None", "Preference-Tax-Round", "Preference-Tax-Down", "Preference-Tax-Up"};
    for (int rule = 0; rule < 4; ++rule) {
        auto *button = new QRadioButton(cv::localizedString(rules[rule]), page);
        m_taxFractionProcess->addButton(button, rule);
        layout->addWidget(button);
    }
    connect(m_taxFractionProcess, &QButtonGroup::idClicked, this, [this] { changed(MiscChanged); });
    layout->addStretch(1);
    return page;
}

// ---------------------------------------------------------------- showing

void PreferencesDialog::setViewParam(const Preference &preference)
{
    m_colors[TitleColor] = preference.titleColor();
    m_colors[CategoryColor] = preference.categoryColor();
    m_colors[FutureColor] = preference.futureColor();
    for (int well = 0; well < 3; ++well) showColor(well);
}

void PreferencesDialog::showColor(int well)
{
    m_wells[well]->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid #808080;").arg(m_colors[well].name(QColor::HexRgb)));
}

void PreferencesDialog::setPrintParam(const Preference &preference)
{
    m_oldMeasure = preference.paperMeasurement();
    const int index = m_measureButton->findData(m_oldMeasure);
    m_measureButton->setCurrentIndex(index >= 0 ? index : m_measureButton->findData(int(Points)));
    const double points[4] = {preference.leftTopMargin().height(), preference.leftTopMargin().width(),
                              preference.rightBottomMargin().height(), preference.rightBottomMargin().width()};
    for (int margin = 0; margin < 4; ++margin) {
        m_values[margin] = std::clamp(pointToUnit(points[margin], m_oldMeasure), 0.0, maxValue());
        showMargin(margin);
    }
}

void PreferencesDialog::setMiscParam(const Preference &preference)
{
    m_autoPriceUpdateButton->setChecked(preference.autoPriceUpdate());
    m_showInitialPanelButton->setChecked(preference.showInitialPanel());
    {
        const QScopedValueRollback<bool> showing(m_showing, true);
        m_backupCountField->setValue(std::clamp(preference.backupCount(), 0, 50));
    }
    if (QAbstractButton *rule = m_taxFractionProcess->button(preference.taxFracProcess())) rule->setChecked(true);
}

void PreferencesDialog::showMargin(int margin)
{
    m_fields[margin]->setText(QString::number(m_values[margin], 'f', decimals(m_oldMeasure)));
}

// ---------------------------------------------------------------- changes

void PreferencesDialog::changed(int bit)
{
    m_change |= bit;
    m_okButton->setEnabled(true);
}

void PreferencesDialog::setColor(int well, const QColor &color)
{
    if (well < 0 || well > 2 || !color.isValid()) return;
    m_colors[well] = color;
    showColor(well);
    changed(ViewChanged);
}

void PreferencesDialog::setMeasure(int unit)
{
    const int index = m_measureButton->findData(unit);
    if (index < 0) return;
    m_measureButton->setCurrentIndex(index);
    for (int margin = 0; margin < 4; ++margin) {
        const double points = unitToPoint(m_values[margin], m_oldMeasure);
        m_values[margin] = std::clamp(pointToUnit(points, unit), 0.0, pointToUnit(kMaxMarginPoints, unit));
    }
    m_oldMeasure = unit;
    for (int margin = 0; margin < 4; ++margin) showMargin(margin);
    changed(PrintChanged);
}

void PreferencesDialog::marginTyped(int margin)
{
    if (margin < 0 || margin > 3) return;
    QString typed = m_fields[margin]->text().trimmed();
    typed.remove(QLatin1Char(','));
    bool ok = false;
    const double value = typed.toDouble(&ok);
    if (ok && std::isfinite(value)) {
        const double limited = std::clamp(value, 0.0, maxValue());
        if (limited == m_values[margin] &&
            m_fields[margin]->text() == QString::number(limited, 'f', decimals(m_oldMeasure)))
            return; // editing finished without a change
        m_values[margin] = limited;
    }
    showMargin(margin);
    changed(PrintChanged);
}

void PreferencesDialog::stepMargin(int margin, int steps)
{
    if (margin < 0 || margin > 3) return;
    m_values[margin] = std::clamp(m_values[margin] + steps * increment(m_oldMeasure), 0.0, maxValue());
    showMargin(margin);
    changed(PrintChanged);
}

void PreferencesDialog::okPushed()
{
    if (m_change & PrintChanged) {
        m_pref->setPaperMeasurement(m_oldMeasure);
        m_pref->setLeftTopMargin(
            QSizeF(unitToPoint(m_values[Left], m_oldMeasure), unitToPoint(m_values[Top], m_oldMeasure)));
        m_pref->setRightBottomMargin(
            QSizeF(unitToPoint(m_values[Right], m_oldMeasure), unitToPoint(m_values[Bottom], m_oldMeasure)));
    }
    if (m_change & ViewChanged) {
        m_pref->setCategoryColor(m_colors[CategoryColor]);
        m_pref->setTitleColor(m_colors[TitleColor]);
        m_pref->setFutureColor(m_colors[FutureColor]);
    }
    if (m_change & MiscChanged) {
        m_pref->setAutoPriceUpdate(m_autoPriceUpdateButton->isChecked());
        m_pref->setShowInitialPanel(m_showInitialPanelButton->isChecked());
        m_pref->setTaxFracProcess(std::max(0, m_taxFractionProcess->checkedId()));
        m_pref->setBackupCount(m_backupCountField->value());
    }
    done(m_change);
}

void PreferencesDialog::cancelPushed()
{
    m_pref->setBackupCount(m_oldBackupCount);
    done(0);
}

void PreferencesDialog::resetPushed()
{
    const Preference defaults;
    switch (m_tabView->currentIndex() + 1) {
    case 1:
        setViewParam(defaults);
        changed(ViewChanged);
        break;
    case 2: {
        // The margins come back in the default unit.
        setPrintParam(defaults);
        changed(PrintChanged);
        break;
    }
    case 3:
        setMiscParam(defaults);
        m_pref->setBackupCount(defaults.backupCount());
        changed(MiscChanged);
        break;
    default: break;
    }
}

} // namespace cv
