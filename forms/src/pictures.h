#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace forms::detail {

// A picture file as an image: Windows icons are read here, everything else
// by Qt's built-in readers. Reading icons ourselves spares the program a scan
// of Qt's image plugins at start-up. A null image when the file is missing
// or damaged.
QImage readPicture(const QString& path);

// The first image of a Windows icon file: paletted (1, 4 or 8 bits) or
// 24/32-bit pixels with their transparency mask, or an embedded PNG.
QImage decodeIcon(const QByteArray& data);

}  // namespace forms::detail
