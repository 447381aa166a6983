#include "model/DomainEnums.h"

#include <QFileInfo>

namespace cv {

namespace {

struct TypeExtension {
    DocumentType type;
    const char *extension;
};

constexpr TypeExtension kExtensions[] = {
    {DocumentType::Current, "cvv2"},
    {DocumentType::Version1, "cvv1"},
    {DocumentType::XML, "cvxf"},
};

} // namespace

DocumentType documentTypeForExtension(const QString &extension)
{
    for (const auto &e : kExtensions)
        if (extension.compare(QLatin1String(e.extension), Qt::CaseInsensitive) == 0) return e.type;
    return DocumentType::None;
}

QString extensionForDocumentType(DocumentType type)
{
    for (const auto &e : kExtensions)
        if (e.type == type) return QLatin1String(e.extension);
    return QString();
}

QString currentTypePathFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return stem + QLatin1Char('.') + extensionForDocumentType(DocumentType::Current);
}

} // namespace cv
