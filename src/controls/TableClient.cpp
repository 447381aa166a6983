#include "controls/TableClient.h"

#include "document/AmountText.h"
#include "platform/DateFormat.h"

namespace cv {

bool TableClient::textInputOn(InputSourceMoment moment, int cid, int column) const
{
    // Owners with a text column elsewhere override this; 3 is the memo column
    // of most panels.
    switch (moment) {
    case InputSourceMoment::Click:
    case InputSourceMoment::FallbackClick: return cid == 3;
    case InputSourceMoment::Advance: return column == 5;
    case InputSourceMoment::Wrap: return false;
    }
    return false;
}

QString TableClient::dateFormat() const
{
    return programDateFormat();
}

std::optional<QString> TableClient::proposedString(PopupFieldEditor *editor, const QString &oldText,
                                                   TextSelection oldSelection, const QString &newText, int currency,
                                                   int fractionLength)
{
    Q_UNUSED(editor);
    const AmountText *amounts = amountText();
    if (!amounts) return std::nullopt;
    return amounts->proposedString(oldText, oldSelection, newText, currency, fractionLength);
}

} // namespace cv
