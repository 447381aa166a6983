#pragma once
// The owner of a check-box outline: a click on a row's check cell toggles
// the row's item through it.

#include <QModelIndex>

namespace cv {

class ToggleClient {
public:
    virtual ~ToggleClient() = default;
    virtual void toggleItem(const QModelIndex &index) = 0;
};

} // namespace cv
