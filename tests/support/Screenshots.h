#pragma once
// Where tests leave the pictures and prints a person looks at:
// screenshots/ beside the test program, one folder per language.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace cvtest {

// The path of a file in screenshots/<language>/ (screenshots/ without a
// language), its folder made.
inline QString screenshotPath(const QString &file, const QString &language = QString())
{
    QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    if (!language.isEmpty()) dir += QLatin1Char('/') + language;
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + file;
}

// Writes the picture as <name>.png; false when nothing was written.
inline bool saveScreenshot(const QImage &image, const QString &language, const QString &name)
{
    const QString path = screenshotPath(name + QStringLiteral(".png"), language);
    return image.save(path) && QFileInfo(path).size() > 0;
}

inline bool saveScreenshot(const QPixmap &pixmap, const QString &language, const QString &name)
{
    return saveScreenshot(pixmap.toImage(), language, name);
}

// Shows the widget and writes it as <name>.png.
inline bool saveScreenshot(QWidget &widget, const QString &language, const QString &name)
{
    widget.show();
    QApplication::processEvents();
    return saveScreenshot(widget.grab().toImage(), language, name);
}

} // namespace cvtest
