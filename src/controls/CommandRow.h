#pragma once
// A chooser row that runs an action instead of being chosen ("New Grouping",
// "New Security…"). What the action answers becomes the pick; an action that
// opens a sheet answers nothing and hands the item back later with
// returnItem(). The row lives in a shared_ptr, so an action that refills its
// own list cannot free the row it runs from.

#include "controls/ChooserItem.h"
#include "model/Node.h"

#include <functional>

namespace cv {

class CommandRow : public Node {
public:
    using Action = std::function<ChooserItem(CommandRow &row)>;

    CommandRow(const QString &name, Action action);

    // Remembers the chooser's end handler, then answers what the action answers.
    ChooserItem runWithDelegate(ChooserEndHandler endHandler);
    // Delivers an item made after the run; nothing for a null item.
    void returnItem(const ChooserItem &item);
    const ChooserEndHandler &delegate() const { return m_endHandler; }

private:
    Action m_action;
    ChooserEndHandler m_endHandler;
};

} // namespace cv
