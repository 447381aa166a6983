#pragma once
// The one chooser popup of the process: a frameless Qt::Popup list of a
// chooser data source, placed against an anchor rectangle in global
// coordinates (a button, a table cell's rectangle, or a point), fitted into
// the screen's available geometry with hover arrows when taller. A pick
// blinks, closes the popup and then runs the owner's end handler once; a
// command row runs its action first and hands on what it answers. Esc, an
// outside click or mustClose end it without a call, except that a pick still
// blinking is delivered first.

#include "controls/ChooserItem.h"

#include <QFrame>
#include <QPointer>
#include <QRect>

namespace cv {

class EditingTable;

class MouseOverButton;
class ChooserList;
class ChooserModel;

class ChooserPopup : public QFrame {
    Q_OBJECT
public:
    enum class Anchor {
        Button, // at the button's left edge, centred on it vertically, at least its size
        Cell,   // at the cell's left edge, centred on its top edge, at least its width
        Point,  // the selected row at the rectangle's top-left corner
    };
    static constexpr int kArrowHeight = 16;
    static constexpr int kBorder = 1;

    // Made on first use, deleted when the application quits.
    static ChooserPopup *get();
    // The popup when it was made; never makes one.
    static ChooserPopup *existing();

    void run(QWidget *target, const QRect &anchorGlobal, Anchor anchor, ChooserModel *source, const ChooserItem &value,
             ChooserEndHandler endHandler);
    // Over the cell (column index, row) of an editing table.
    void runForCell(EditingTable *table, int column, int row, ChooserModel *source, const ChooserItem &value,
                    ChooserEndHandler endHandler);
    // Closes without a result, delivering a blinking pick first.
    void mustClose();

    ChooserList *outline() const { return m_outline; }
    QWidget *targetView() const { return m_target; }
    bool arrowsShown() const { return m_arrowsEnabled; }
    MouseOverButton *upArrow() const { return m_upArrow; }
    MouseOverButton *downArrow() const { return m_downArrow; }

    // Sizes and places the popup for its rows (after every expand or collapse).
    void fixFrame();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ChooserPopup();
    void didEndPopup(const ChooserItem &result);
    void closeNow();
    void setArrowsEnabled(bool enabled);
    void layoutParts();
    QRect availableGeometry() const;

    ChooserList *m_outline;
    MouseOverButton *m_upArrow;
    MouseOverButton *m_downArrow;
    bool m_arrowsEnabled = false;
    QPointer<QWidget> m_target; // the view that asked; null while closed
    QRect m_anchor;             // global
    Anchor m_anchorKind = Anchor::Point;
    bool m_placed = false;          // positioned for this run; later fits keep the top edge
    bool m_filling = false;         // the run opens the value's folders: not placed yet
    ChooserEndHandler m_endHandler; // the current run's; taken when it ends
};

} // namespace cv
