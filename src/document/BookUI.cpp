#include "document/BookUI.h"

namespace cv {

namespace {
BookUI g_silent;
BookUI *g_ui = nullptr;
} // namespace

BookUI *setDocumentUI(BookUI *ui)
{
    BookUI *old = g_ui;
    g_ui = ui;
    return old;
}

BookUI &documentUI()
{
    return g_ui ? *g_ui : g_silent;
}

} // namespace cv
