#pragma once
// The document's own print settings: paper and orientation. Stored in the
// print-settings info row as an archive of our own class, so that a reader
// expecting another program's print record refuses it instead of misreading it.

#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>

namespace cv {

class PrintSettings : public cv::KeyedArchivable {
public:
    enum Orientation { Portrait = 0, Landscape = 1 };

    // Paper names are the printing system's ("A4", "Letter", ...).
    QString paperName() const { return m_paperName; }
    void setPaperName(const QString &name) { m_paperName = name; }
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation) { m_orientation = orientation == Landscape ? Landscape : Portrait; }

    bool operator==(const PrintSettings &o) const
    {
        return m_paperName == o.m_paperName && m_orientation == o.m_orientation;
    }

    QString archiveClassName() const override { return QStringLiteral("CVPrintInfo"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString m_paperName = QStringLiteral("A4");
    int m_orientation = Portrait;
};

using PrintSettingsPtr = std::shared_ptr<PrintSettings>;

// Registers the archived classes of the document library; idempotent.
void registerDocumentArchiveClasses();

} // namespace cv
