#pragma once
// Entry files of the mobile device: comma-separated lines of a date, the
// device's category name and account name, an income, an expense and a
// memo, read at the character level (quoted fields may hold commas, line
// ends and doubled quotes). Pure functions of the bytes.

#include "model/Entry.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace cv {

struct MobileEntry {
    QString categoryName; // as the device wrote them
    QString accountName;
    EntryPtr entry; // kind 0 income or 1 expense (PendingOutgoing); category and account 0
};

// The file's text, its encoding decided once: UTF-16 or UTF-8 by a byte
// order mark, else the first of UTF-8, CP932 and EUC-JP in which every byte
// decodes, else Windows-1252.
QString decodeMobileFile(QByteArrayView data);

std::vector<MobileEntry> readMobileEntries(QByteArrayView data);

} // namespace cv
