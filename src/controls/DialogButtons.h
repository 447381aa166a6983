#pragma once
// The OK / Cancel row every small dialog ends with: OK is the default button,
// Cancel (and so Esc and the close box) rejects. Room for buttons' titles.

#include "platform/Localization.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace cv {

struct DialogButtons {
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
};

inline DialogButtons addOkCancelButtons(QDialog *dialog, QBoxLayout *layout)
{
    auto *box = new QDialogButtonBox(dialog);
    DialogButtons b;
    b.ok = box->addButton(localizedString(QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    b.cancel = box->addButton(localizedString(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    b.ok->setDefault(true);
    layout->addWidget(box);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return b;
}

// The style's own padding leaves CJK titles touching a button's edges: a
// button at least this much wider than its title.
inline void giveTitleRoom(QPushButton *button)
{
    constexpr int kPadding = 20; // each side of the title, the frame included
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 2 * kPadding);
}

} // namespace cv
