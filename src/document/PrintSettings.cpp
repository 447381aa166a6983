#include "document/PrintSettings.h"

#include "model/ModelArchiveClasses.h"

namespace cv {

void PrintSettings::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeObject(QStringLiteral("paperName"), m_paperName);
    coder.encodeInt(QStringLiteral("orientation"), m_orientation);
}

bool PrintSettings::initWithCoder(cv::KeyedUnarchiver &coder)
{
    const std::optional<QString> paper = coder.decodeStringForKey(QStringLiteral("paperName"));
    if (paper && !paper->isEmpty()) m_paperName = *paper;
    setOrientation(coder.decodeIntForKey(QStringLiteral("orientation")));
    return !coder.failed();
}

void registerDocumentArchiveClasses()
{
    registerModelArchiveClasses();
    static const bool once = [] {
        cv::registerArchivable<PrintSettings>(QStringLiteral("CVPrintInfo"));
        return true;
    }();
    (void)once;
}

} // namespace cv
