#include "document/CV4DocumentUI.h"

namespace {
CV4DocumentUI g_silent;
CV4DocumentUI *g_ui = nullptr;
} // namespace

namespace cv {

CV4DocumentUI *setDocumentUI(CV4DocumentUI *ui)
{
    CV4DocumentUI *old = g_ui;
    g_ui = ui;
    return old;
}

CV4DocumentUI &documentUI()
{
    return g_ui ? *g_ui : g_silent;
}

} // namespace cv
