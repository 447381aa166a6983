#pragma once
// The bar over the viewer and budget grids: unit, previous, Today, next, the
// first date with its calendar, the page's own controls, and the column
// width slider at the right. The page connects the controls.

#include <initializer_list>

class QComboBox;
class QSlider;
class QToolButton;
class QWidget;

namespace cv {

class DateField;

struct PeriodBar {
    QComboBox *unitButton = nullptr;
    QToolButton *previous = nullptr;
    QToolButton *today = nullptr;
    QToolButton *next = nullptr;
    DateField *dateField = nullptr;
    QSlider *cellSlider = nullptr;

    // Object names of the controls, which tests and saved states find them by.
    struct Names {
        const char *unit, *previous, *today, *next, *date, *slider;
    };
    struct Layout {
        int firstUnit, lastUnit; // units offered, "Viewer Unit n"
        int minCellWidth, maxCellWidth;
        std::initializer_list<QWidget *> afterDate;   // the page's controls by the date
        std::initializer_list<QWidget *> beforeWidth; // and by the width slider
    };
    static PeriodBar build(QWidget *bar, const Names &names, const Layout &layout);
    // Every page's Today button looks alike: bold white text on a filled button.
    static void styleTodayButton(QToolButton *button);
};

} // namespace cv
