#pragma once
// The list inside the chooser popup: one column, no header, not editable.
// Hovering selects; a press and a release in the list pick the leaf under
// the release (a blink of select, deselect, select kBlinkMs apart, then the
// popup ends with the item) or open or close the group there. The release of
// the press that opened the popup picks nothing, wherever it falls.
// Return/Enter/Space pick or toggle the selected row, Tab picks at once, Esc
// ends without a pick.

#include "controls/ChooserItem.h"
#include "controls/ChooserModel.h"

#include <QPointer>
#include <QTreeView>

#include <functional>

namespace cv {

class ChooserList : public QTreeView {
    Q_OBJECT
public:
    static constexpr int kBlinkMs = 70;
    static constexpr int kScrollStep = 18;

    explicit ChooserList(QWidget *parent = nullptr);

    // Called by the popup: the source and what ends the run (with the pick or null).
    void setChooserModel(ChooserModel *source);
    ChooserModel *dataSource() const { return m_source; }
    void setDoneHandler(std::function<void(const ChooserItem &)> done) { m_done = std::move(done); }

    // Expands as the list asks and preselects the value (row 0 when absent).
    void willRunWithValue(const ChooserItem &value);
    void selectItemWithValue(const ChooserItem &value);
    void collapseAllItems();

    bool isFinishing() const { return m_finishing; }
    const ChooserItem &result() const { return m_resultItem; }
    // Ends the run with the pending pick (null when none).
    void done();
    void cancel();
    void pick(const ChooserItem &item);
    void selectOrToggle();
    void scrollLineUp();
    void scrollLineDown();

    int rowHeight() const;
    // Height of every visible row together, and the widest row with its indentation.
    int contentHeight() const;
    int contentWidth() const;
    int widthOfItem(const QModelIndex &index, int level) const;
    // Top of the selected row within the list (0 with no selection).
    int selectionOffset() const;
    void setFontSize(int pixels);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void blinkStep(int run, int step);
    void selectRow(const QModelIndex &index);
    QModelIndex indexOfResult() const;

    QPointer<ChooserModel> m_source; // not owned; may go while the popup is open
    std::function<void(const ChooserItem &)> m_done;
    ChooserItem m_resultItem; // the pick, null when none
    bool m_finishing = false; // a pick is blinking; the mouse is ignored
    int m_run = 0;            // a blink of an earlier run never acts
    int m_lastOverRow = -1;
    bool m_pressed = false; // a press of this run is down: its release may pick
    bool m_clicked = false; // this run has had a press in the list
};

} // namespace cv
