// Draws Varnel's pictures from code, so that they can be restyled and redrawn
// at will: the coin stack, the title banner and the window icon.
//
//   draw_assets [output directory]
//
// The files are written byte by byte here rather than through QImage's
// writers, because the game relies on their exact layout: 24-bit uncompressed
// bitmaps, and an icon holding one 8-bit paletted image with a 1-bit mask
// (Qt would write the icon as 32 bits).

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int IconSize = 32;

// A named font, or a loud note when this machine substitutes another one: the
// pictures are only reproducible with the fonts they were designed with.
QFont namedFont(const QString& family, int pixelSize, QFont::Weight weight)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QString found = QFontInfo(font).family();
    if (!found.startsWith(family))  // the foundry may follow, as in "P052 [urw]"
        std::fprintf(stderr, "draw_assets: font %s not found, using %s\n", qPrintable(family), qPrintable(found));
    return font;
}

QDataStream& writeInfoHeader(QDataStream& out, int width, int height, quint16 bitCount, quint32 imageBytes,
                             quint32 coloursUsed)
{
    return out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << bitCount
               << quint32(0)                                  // BI_RGB: uncompressed
               << imageBytes << qint32(2835) << qint32(2835)  // 72 dpi
               << coloursUsed << quint32(0);
}

bool writeBmp24(const QImage& picture, const QString& path)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    const int padding = (4 - width * 3 % 4) % 4;
    const auto pixelBytes = static_cast<quint32>((width * 3 + padding) * height);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << quint32(14 + 40 + pixelBytes) << quint32(0) << quint32(14 + 40);
    writeInfoHeader(out, width, height, 24, pixelBytes, 0);
    for (int y = height - 1; y >= 0; --y) {  // bitmaps are stored bottom row first
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < width; ++x)
            out << line[3 * x + 2] << line[3 * x + 1] << line[3 * x];  // blue, green, red
        for (int i = 0; i < padding; ++i)
            out << quint8(0);
    }
    return out.status() == QDataStream::Ok && file.flush();
}

// Expects a 32x32 image indexed into a full 256-entry palette whose entry 0 is
// the black that transparent pixels point at.
bool writeIco8(const QImage& icon, const QString& path)
{
    constexpr quint32 paletteBytes = 256 * 4;
    constexpr quint32 pixelBytes = IconSize * IconSize;
    constexpr quint32 maskBytes = IconSize * 4;  // one bit a pixel, rows padded to 32 bits
    constexpr quint32 dibBytes = 40 + paletteBytes + pixelBytes + maskBytes;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(1);  // an icon, holding one image
    out << quint8(IconSize) << quint8(IconSize) << quint8(0) /* 256 colours */ << quint8(0) << quint16(1) << quint16(8)
        << dibBytes << quint32(6 + 16);
    // The DIB of an icon is twice as tall as the image: colours, then the mask.
    writeInfoHeader(out, IconSize, 2 * IconSize, 8, pixelBytes + maskBytes, 256);
    for (const QRgb colour : icon.colorTable())
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    for (int y = IconSize - 1; y >= 0; --y)
        out.writeRawData(reinterpret_cast<const char*>(icon.constScanLine(y)), IconSize);
    for (int y = IconSize - 1; y >= 0; --y) {
        const uchar* line = icon.constScanLine(y);
        quint32 bits = 0;
        for (int x = 0; x < IconSize; ++x)
            if (line[x] == 0)
                bits |= 0x80000000u >> x;  // leftmost pixel in the highest bit
        out << quint8(bits >> 24) << quint8(bits >> 16) << quint8(bits >> 8) << quint8(bits);
    }
    return out.status() == QDataStream::Ok && file.flush();
}

// One coin of the stack, seen a little from the side: its milled edge band,
// then its face with a raised rim and the value stamped in.
void drawCoin(QPainter& p, QPointF top, double rx, double ry, double thickness, bool showValue)
{
    const QRectF face(top.x() - rx, top.y() - ry, 2 * rx, 2 * ry);
    const QRectF bottom = face.translated(0, thickness);

    QPainterPath band;
    band.addEllipse(bottom);
    band.addRect(QRectF(face.left(), top.y(), 2 * rx, thickness));
    band = band.simplified();
    // Light comes from the upper left, so the edge is brightest left of centre.
    QLinearGradient edge(face.left(), 0, face.right(), 0);
    edge.setColorAt(0.00, QColor(92, 58, 6));
    edge.setColorAt(0.18, QColor(214, 158, 40));
    edge.setColorAt(0.32, QColor(255, 236, 150));
    edge.setColorAt(0.48, QColor(224, 170, 52));
    edge.setColorAt(0.80, QColor(150, 98, 16));
    edge.setColorAt(1.00, QColor(70, 42, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(edge);
    p.drawPath(band);

    // The milling: fine grooves, evenly spaced round the rim, so they crowd
    // together towards the sides.
    p.save();
    p.setClipPath(band);
    p.setPen(QPen(QColor(90, 56, 8, 80), 0.8));
    for (int i = 1; i < 24; ++i) {
        const double x = top.x() - rx * std::cos(std::numbers::pi * i / 24);
        const double dy = ry * std::sin(std::numbers::pi * i / 24);
        p.drawLine(QPointF(x, top.y() + dy), QPointF(x, top.y() + dy + thickness));
    }
    p.restore();
    p.setPen(QPen(QColor(74, 44, 4), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(band);

    QRadialGradient shine(QPointF(top.x() - rx * 0.35, top.y() - ry * 0.6), rx * 1.3);
    shine.setColorAt(0.0, QColor(255, 242, 170));
    shine.setColorAt(0.5, QColor(236, 186, 62));
    shine.setColorAt(1.0, QColor(176, 120, 24));
    p.setPen(QPen(QColor(120, 78, 10), 1.0));
    p.setBrush(shine);
    p.drawEllipse(face);

    const QRectF rim = face.adjusted(4.5, 2.0, -4.5, -2.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 240, 170, 200), 1.0));
    p.drawEllipse(rim.translated(0.6, 0.8));
    p.setPen(QPen(QColor(140, 92, 14), 1.0));
    p.drawEllipse(rim);

    if (!showValue)
        return;
    // The face is foreshortened, so is the stamp; squash it less than the
    // ellipse would, or it could not be read.
    const QFont digits = namedFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold);
    QPainterPath stamp;
    stamp.addText(0, 0, digits, QStringLiteral("100"));
    const QRectF box = stamp.boundingRect();
    QTransform squash;
    squash.translate(top.x(), top.y());
    squash.scale(1.0, 0.62);
    squash.translate(-box.center().x(), -box.center().y());
    stamp = squash.map(stamp);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 190, 190));
    p.drawPath(stamp.translated(0.5, 0.7));
    p.setBrush(QColor(128, 80, 8));
    p.drawPath(stamp);
}

QImage drawCoinStack()
{
    QImage image(83, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    constexpr double rx = 35.0, ry = 12.0, thickness = 7.0;
    // Hand-placed sideways nudges, so the pile looks stacked by hand and the
    // output is the same on every run.
    constexpr std::array<double, 9> nudge = {0.0, 1.2, -0.8, 0.6, -1.4, 0.3, 1.0, -0.5, 0.2};
    const double base = 100.0 - 6.0 - ry - thickness;
    for (std::size_t i = 0; i < nudge.size(); ++i) {
        const QPointF top(41.5 + nudge[i], base - thickness * static_cast<double>(i));
        drawCoin(p, top, rx, ry, thickness, i + 1 == nudge.size());
    }
    return image;
}

QImage drawBanner()
{
    QImage image(533, 191, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(533 / 2.0, 191 / 2.0);

    QFont font = namedFont(QStringLiteral("P052"), 128, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    QPainterPath word;
    word.addText(0, 0, font, QStringLiteral("VARNEL"));
    // Fit the letters to a fixed box rather than trusting the font's metrics,
    // so a different version of the font still fills the banner the same way.
    // The box is a little taller than the face's own proportions, as a
    // poster title would be.
    const QRectF box = word.boundingRect();
    const QRectF target(centre.x() - 235, centre.y() - 49, 470, 98);
    QTransform fit;
    fit.translate(target.left(), target.top());
    fit.scale(target.width() / box.width(), target.height() / box.height());
    fit.translate(-box.left(), -box.top());
    word = fit.map(word);

    // A soft red-orange glow, built from ever narrower translucent strokes;
    // it fades out long before the border, so the banner melts into the
    // black window.
    p.setBrush(Qt::NoBrush);
    for (int width = 26; width >= 4; width -= 2)
        p.strokePath(word, QPen(QColor(200, 40, 0, 14), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(word, QPen(QColor(40, 8, 0), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(word, QPen(QColor(150, 92, 18), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // Burnished gold: bright at the top, a dark band just under the middle
    // where the metal turns away from the light, and warm again below.
    QLinearGradient gold(0, target.top(), 0, target.bottom());
    gold.setColorAt(0.00, QColor(255, 248, 200));
    gold.setColorAt(0.30, QColor(250, 206, 84));
    gold.setColorAt(0.52, QColor(196, 128, 20));
    gold.setColorAt(0.56, QColor(150, 90, 10));
    gold.setColorAt(0.80, QColor(232, 170, 50));
    gold.setColorAt(1.00, QColor(160, 100, 16));
    p.fillPath(word, gold);

    // Thin rules above and below, fading at both ends, with a small diamond.
    for (const double y : {22.5, 168.5}) {
        QLinearGradient rule(40, 0, 493, 0);
        rule.setColorAt(0.0, QColor(230, 170, 50, 0));
        rule.setColorAt(0.5, QColor(240, 190, 70, 255));
        rule.setColorAt(1.0, QColor(230, 170, 50, 0));
        p.setPen(QPen(QBrush(rule), 1.2));
        p.drawLine(QPointF(40, y), QPointF(493, y));
        const QPolygonF diamond({QPointF(centre.x() - 7, y), QPointF(centre.x(), y - 4), QPointF(centre.x() + 7, y),
                                 QPointF(centre.x(), y + 4)});
        p.setPen(QPen(QColor(60, 14, 0), 1.0));
        p.setBrush(QColor(250, 206, 84));
        p.drawPolygon(diamond);
    }
    return image;
}

// Slot 0 is the black that transparent pixels point at; a few reds follow,
// from the shadowed outline to the highlight; the rest of the palette stays
// black, as 8-bit icons always carry 256 entries.
QList<QRgb> iconPalette()
{
    QList<QRgb> palette(256, qRgb(0, 0, 0));
    constexpr std::array<QRgb, 8> stops = {qRgb(64, 0, 0),    qRgb(104, 0, 0),   qRgb(140, 4, 4),   qRgb(172, 8, 8),
                                           qRgb(200, 14, 12), qRgb(226, 24, 20), qRgb(246, 48, 38), qRgb(255, 96, 80)};
    for (std::size_t i = 0; i < stops.size(); ++i)
        palette[static_cast<qsizetype>(i) + 1] = stops[i];
    return palette;
}

QImage drawIconArgb()
{
    QImage image(IconSize, IconSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A serif V: a heavy left stroke, a lighter right one and flat serifs.
    // Its straight edges lie on half pixels, so that the one-pixel outline
    // covers whole pixels and stays crisp at this size.
    const QPolygonF v({QPointF(1.5, 2.5), QPointF(14.5, 2.5), QPointF(14.5, 5.5), QPointF(11.5, 5.5), QPointF(17, 21),
                       QPointF(22.5, 5.5), QPointF(20.5, 5.5), QPointF(20.5, 2.5), QPointF(30.5, 2.5),
                       QPointF(30.5, 5.5), QPointF(27.5, 5.5), QPointF(18.5, 29.5), QPointF(14.5, 29.5),
                       QPointF(4.5, 5.5), QPointF(1.5, 5.5)});
    QLinearGradient red(0, 2, 0, 30);
    red.setColorAt(0.0, QColor(255, 96, 80));
    red.setColorAt(0.35, QColor(226, 24, 20));
    red.setColorAt(1.0, QColor(140, 4, 4));
    p.setPen(QPen(QColor(64, 0, 0), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(red);
    p.drawPolygon(v);
    return image;
}

// The icon may only be fully opaque or fully clear, so half-covered pixels
// are decided by their alpha and the colours snapped to the palette.
QImage quantiseIcon(const QImage& argb, const QList<QRgb>& palette)
{
    QImage indexed(argb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = argb.pixel(x, y);
            int best = 0;
            if (qAlpha(c) >= 128) {
                int bestDistance = 1 << 30;
                for (int i = 1; i < 256 && palette[i] != qRgb(0, 0, 0); ++i) {
                    const int dr = qRed(c) - qRed(palette[i]);
                    const int dg = qGreen(c) - qGreen(palette[i]);
                    const int db = qBlue(c) - qBlue(palette[i]);
                    const int distance = dr * dr + dg * dg + db * db;
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
            }
            indexed.setPixel(x, y, static_cast<uint>(best));
        }
    return indexed;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Fonts need an application, but no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QDir dir(args.size() > 1 ? args.at(1) : QStringLiteral("."));

    const QImage icon = quantiseIcon(drawIconArgb(), iconPalette());
    QImage iconPng = icon;
    QList<QRgb> clear = icon.colorTable();
    clear[0] = qRgba(0, 0, 0, 0);
    iconPng.setColorTable(clear);

    bool ok = writeBmp24(drawCoinStack(), dir.filePath(QStringLiteral("coin.bmp")));
    ok = writeBmp24(drawBanner(), dir.filePath(QStringLiteral("banner.bmp"))) && ok;
    ok = writeIco8(icon, dir.filePath(QStringLiteral("varnel.ico"))) && ok;
    ok = iconPng.convertToFormat(QImage::Format_ARGB32).save(dir.filePath(QStringLiteral("varnel.png")), "PNG") && ok;
    if (!ok)
        std::fprintf(stderr, "draw_assets: could not write the pictures into %s\n", qPrintable(dir.path()));
    return ok ? 0 : 1;
}
