#pragma once
// The preferences window: viewer colours, print margins with their unit, and
// the miscellaneous settings (automatic price update, the start-up panel,
// the calculator's tax rounding). Runs application-modal; the end code is
// the bit set of what changed (1 colours, 2 print, 4 misc), written into the
// preference on OK only. Cancel gives back the backup count a Reset of the
// misc tab changed.

#include <QColor>
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace cv {

class Preference;

class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    enum Change { ViewChanged = 1, PrintChanged = 2, MiscChanged = 4 };
    enum Measure { Millimetres = 0, Inches = 1, Points = 2 };
    enum Margin { Top = 0, Left = 1, Bottom = 2, Right = 3 };
    enum ColorWell { TitleColor = 0, CategoryColor = 1, FutureColor = 2 };
    static constexpr double kMaxMarginPoints = 85.03936767578125; // 30 mm

    explicit PreferencesDialog(Preference *preference, QWidget *parent = nullptr);

    // The application menu's Preferences command: runs the window; with a
    // change saves the preference, hands the tax rule to an existing calculator and
    // redraws every window. Answers the end code.
    static int openPreferencePanel(Preference *preference, QWidget *parent = nullptr);

    static double pointToUnit(double points, int unit);
    static double unitToPoint(double value, int unit);

    void okPushed();
    void cancelPushed();
    void resetPushed();
    // Esc and the close box are Cancel.
    void reject() override { cancelPushed(); }
    // The unit popup picked `unit`.
    void setMeasure(int unit);
    // A margin field's text was typed (editing finished).
    void marginTyped(int margin);
    // A margin stepper's arrow: +1 or -1 steps.
    void stepMargin(int margin, int steps);
    void setColor(int well, const QColor &color);

    int change() const { return m_change; }
    double marginValue(int margin) const { return m_values[margin]; }
    QLineEdit *marginField(int margin) const { return m_fields[margin]; }
    QTabWidget *tabView() const { return m_tabView; }
    QPushButton *okButton() const { return m_okButton; }
    QComboBox *measureButton() const { return m_measureButton; }
    QSpinBox *backupCountField() const { return m_backupCountField; }

private:
    QWidget *buildViewTab();
    QWidget *buildPrintTab();
    QWidget *buildMiscTab();
    void setViewParam(const Preference &preference);
    void setPrintParam(const Preference &preference);
    void setMiscParam(const Preference &preference);
    void showMargin(int margin);
    void showColor(int well);
    void changed(int bit);
    double maxValue() const { return pointToUnit(kMaxMarginPoints, m_oldMeasure); }

    Preference *m_pref;                   // the edited preference, not owned
    int m_change = 0;                     // the end code's bits
    int m_oldMeasure = 0;                 // the unit the margins are shown in
    int m_oldBackupCount = 0;             // the backup count at opening
    double m_values[4] = {};              // the steppers' values in the shown unit
    QColor m_colors[3];                   // the wells' colours
    QTabWidget *m_tabView = nullptr;      // tabs 1 view, 2 print, 3 misc (index + 1)
    QPushButton *m_wells[3] = {};         // colour swatches
    QLineEdit *m_fields[4] = {};          // margin fields
    QComboBox *m_measureButton = nullptr; // unit popup, data = unit
    QCheckBox *m_autoPriceUpdateButton = nullptr;
    QCheckBox *m_showInitialPanelButton = nullptr;
    QSpinBox *m_backupCountField = nullptr;       // dated backups kept, 0-50
    bool m_showing = false;                       // values being shown, not typed
    QButtonGroup *m_taxFractionProcess = nullptr; // ids = rules 0-3
    QPushButton *m_okButton = nullptr;
};

} // namespace cv
