#pragma once
// The application-wide preferences, kept in QSettings under the user-default
// key names. Setters change memory only; save() writes every key.

#include <QColor>
#include <QSizeF>

class QSettings;

namespace cv {

class Preference {
public:
    // The built-in defaults, not read from the settings.
    Preference() { initContents(); }
    // The defaults, then every key present in the settings.
    explicit Preference(const QSettings &settings);
    // As above from the application's own settings.
    static Preference fromUserDefaults();

    void initContents();
    void resetPrintParam();
    void resetViewParam();
    void resetMiscParam();

    void save() const;
    void save(QSettings &settings) const;

    // Width is the left (right) margin, height the top (bottom) one, in points.
    QSizeF leftTopMargin() const { return m_leftTopMargin; }
    void setLeftTopMargin(const QSizeF &margin) { m_leftTopMargin = margin; }
    QSizeF rightBottomMargin() const { return m_rightBottomMargin; }
    void setRightBottomMargin(const QSizeF &margin) { m_rightBottomMargin = margin; }
    int paperMeasurement() const { return m_paperMeasurement; }
    void setPaperMeasurement(int value) { m_paperMeasurement = value; }
    QColor categoryColor() const { return m_categoryColor; }
    void setCategoryColor(const QColor &color) { m_categoryColor = color; }
    QColor titleColor() const { return m_titleColor; }
    void setTitleColor(const QColor &color) { m_titleColor = color; }
    QColor futureColor() const { return m_futureColor; }
    void setFutureColor(const QColor &color) { m_futureColor = color; }
    bool autoPriceUpdate() const { return m_autoPriceUpdate; }
    void setAutoPriceUpdate(bool value) { m_autoPriceUpdate = value; }
    bool showInitialPanel() const { return m_showInitialPanel; }
    void setShowInitialPanel(bool value) { m_showInitialPanel = value; }
    int backupCount() const { return m_backupCount; }
    void setBackupCount(int value) { m_backupCount = value; }
    int taxFracProcess() const { return m_taxFracProcess; }
    void setTaxFracProcess(int value) { m_taxFracProcess = value; }

private:
    void read(const QSettings &settings);

    QSizeF m_leftTopMargin;
    QSizeF m_rightBottomMargin;
    int m_paperMeasurement = 0;
    QColor m_categoryColor;
    QColor m_titleColor;
    QColor m_futureColor;
    bool m_autoPriceUpdate = true;
    bool m_showInitialPanel = true;
    int m_backupCount = 5;
    int m_taxFracProcess = 0;
};

} // namespace cv
