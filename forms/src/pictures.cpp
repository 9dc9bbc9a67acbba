#include "pictures.h"

#include <QFile>
#include <QtEndian>

namespace forms::detail {
namespace {

// Bounds-checked little-endian reads from the file's bytes.
class Bytes {
public:
    explicit Bytes(const QByteArray& data)
        : data_(data)
    {}
    bool has(qsizetype at, qsizetype count) const { return at >= 0 && count >= 0 && at + count <= data_.size(); }
    quint8 u8(qsizetype at) const { return static_cast<quint8>(data_[at]); }
    quint16 u16(qsizetype at) const { return qFromLittleEndian<quint16>(data_.constData() + at); }
    quint32 u32(qsizetype at) const { return qFromLittleEndian<quint32>(data_.constData() + at); }
    qint32 s32(qsizetype at) const { return qFromLittleEndian<qint32>(data_.constData() + at); }
    const QByteArray& all() const { return data_; }

private:
    const QByteArray& data_;
};

constexpr qsizetype rowBytes(qint64 width, int bits)
{
    return static_cast<qsizetype>((width * bits + 31) / 32 * 4);
}

}  // namespace

QImage decodeIcon(const QByteArray& data)
{
    const Bytes b(data);
    if (!b.has(0, 6 + 16) || b.u16(0) != 0 || b.u16(2) != 1 || b.u16(4) == 0)
        return {};
    const qsizetype size = b.u32(6 + 8);
    const qsizetype at = b.u32(6 + 12);
    if (!b.has(at, size) || size < 8)
        return {};
    const QByteArray image = data.mid(at, size);
    if (image.startsWith("\x89PNG"))
        return QImage::fromData(image, "PNG");

    const Bytes dib(image);
    if (!dib.has(0, 40) || dib.u32(0) < 40 || dib.u32(16) != 0)
        return {};
    const qint32 width = dib.s32(4);
    const qint32 height = dib.s32(8) / 2;  // the colour image, then the mask
    const int bits = dib.u16(14);
    if (width <= 0 || width > 256 || height <= 0 || height > 256)
        return {};
    const bool paletted = bits == 1 || bits == 4 || bits == 8;
    if (!paletted && bits != 24 && bits != 32)
        return {};
    const qsizetype colours = paletted ? (dib.u32(32) ? qsizetype{dib.u32(32)} : qsizetype{1} << bits) : 0;
    const qsizetype palette = dib.u32(0);
    const qsizetype pixels = palette + colours * 4;
    const qsizetype mask = pixels + rowBytes(width, bits) * height;
    if (colours > 256 || !dib.has(mask, rowBytes(width, 1) * height))
        return {};

    QImage out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const qsizetype row = pixels + rowBytes(width, bits) * (height - 1 - y);
        const qsizetype maskRow = mask + rowBytes(width, 1) * (height - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb rgb = 0;
            if (paletted) {
                const qsizetype bit = qsizetype{x} * bits;
                const int index = (dib.u8(row + bit / 8) >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
                if (index >= colours)
                    return {};
                const qsizetype entry = palette + index * 4;
                rgb = qRgb(dib.u8(entry + 2), dib.u8(entry + 1), dib.u8(entry));
            } else {
                const qsizetype p = row + qsizetype{x} * (bits / 8);
                rgb = qRgba(dib.u8(p + 2), dib.u8(p + 1), dib.u8(p), bits == 32 ? dib.u8(p + 3) : 255);
            }
            const bool clear = (dib.u8(maskRow + x / 8) >> (7 - x % 8)) & 1;
            line[x] = clear ? qRgba(0, 0, 0, 0) : (bits == 32 ? rgb : (rgb | 0xff000000u));
        }
    }
    return out;
}

QImage readPicture(const QString& path)
{
    if (!path.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive))
        return QImage(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeIcon(file.readAll());
}

}  // namespace forms::detail
