#include "platform/widgets/DatePopUp.h"

#include "platform/Localization.h"

#include <QComboBox>

namespace cv {

void fillDatePopUp(QComboBox *popup, int lastDay)
{
    if (!popup) return;
    popup->clear();
    for (int day = 1; day <= lastDay; ++day) popup->addItem(QString::number(day), day);
    popup->addItem(localizedString(QStringLiteral("Last day")), 31);
}

} // namespace cv
