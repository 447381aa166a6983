#include "platform/print/PageSetup.h"

namespace cv {

QPageSize PageSetup::pageSize() const
{
    // clang-format off
    static const QPageSize::PageSizeId known[] = {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::B4,
                                                  QPageSize::B5, QPageSize::JisB4, QPageSize::JisB5,
                                                  QPageSize::Letter, QPageSize::Legal, QPageSize::Tabloid};
    // clang-format on
    for (QPageSize::PageSizeId id : known) {
        if (QPageSize::key(id).compare(paperName, Qt::CaseInsensitive) == 0 ||
            QPageSize::name(id).compare(paperName, Qt::CaseInsensitive) == 0)
            return QPageSize(id);
    }
    return QPageSize(QPageSize::A4);
}

} // namespace cv
