#include "controls/OutsideClickClient.h"

#include "controls/PopupFieldEditor.h"

namespace cv {

void OutsideClickClient::clickedOutside()
{
    if (PopupFieldEditor *editor = ExistingPopupFieldEditor()) editor->clickedOutside();
}

} // namespace cv
