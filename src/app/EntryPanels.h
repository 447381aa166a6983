#pragma once
// The entry panels the viewer's cells open: the account book for an
// account, the income and expense panel for a category, the transfer panel
// for a transfer item, the trade panel for an investment account (or its
// cash part) and a holding.

#include "mainwindow/EntryPanelMaker.h"

namespace cv {

QWidget *makeEntryPanel(ViewerGrid &grid, Book &document, const NodePtr &node, const QDate &from, const QDate &to,
                        EntryPanelKind kind);

} // namespace cv
