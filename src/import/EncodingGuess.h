#pragma once
// The encoding a statement file was most likely written in, so that the
// text import reads a Shift_JIS or EUC-JP file right without the user
// knowing what an encoding is.

#include "import/TextDecoder.h"

#include <QByteArrayView>

namespace cv {

// A byte order mark (UTF-8 or UTF-16: read as Unicode); else UTF-8 when the
// bytes are valid UTF-8; else CP932 when every byte decodes; else EUC-JP
// when every byte decodes; else Windows-1252, which decodes anything.
TextEncoding guessEncoding(QByteArrayView bytes);

} // namespace cv
