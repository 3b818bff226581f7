#include "StrokePicture.h"

#include "Bhs.h"
#include "Bitmap.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "ImageEncoder.h"
#include "StartupData.h"
#include "StrokeSheet.h"

QString pictureMimeType(int type)
{
    switch (type) {
    case 0:
        return QStringLiteral("image/bmp");
    case 2:
        return QStringLiteral("image/png");
    default:
        return QStringLiteral("image/jpeg");
    }
}

QString pictureExtension(int type)
{
    // The encoder of the type carries its extension.
    ImageEncoder encoder;
    findImageEncoder(pictureMimeType(type), &encoder);
    return encoder.extension;
}

int pictureDpi(int resolution)
{
    switch (resolution) {
    case 0:
        return 96;
    case 2:
        return 600;
    default:
        return 300;
    }
}

long double pictureFactor(int resolution)
{
    switch (resolution) {
    case 0:
        return 1.3333333333333333334L;
    case 2:
        return 8.333333333333333333L;
    default:
        return 4.1666666666666666665L;
    }
}

SheetMetrics sheetMetricsFromPixels(int sizePx, int hgapPx, int vgapPx, int perRow,
                                    double pointsPerPixel)
{
    SheetMetrics m;
    m.fsize = int(sizePx * pointsPerPixel);
    m.hgap = int(hgapPx * pointsPerPixel);
    m.vgap = int(vgapPx * pointsPerPixel);
    m.perRow = perRow;
    return m;
}

PictureGeometry pictureGeometry(int n, const SheetMetrics &m, double pointsPerPixel, int resolution)
{
    PictureGeometry g;
    const double side = double(m.fsize) + CellMargin;
    // Only the two margins are screen pixels; cells and gaps are points already.
    const double margins = 2 * CellMargin * pointsPerPixel;
    const double across = n > m.perRow ? m.perRow : n;
    const double rows = sheetRows(n, m.perRow);
    g.widthPt = qint64(side * across + (across - 1) * m.hgap + margins);
    g.heightPt = qint64(side * rows + (rows - 1) * m.vgap + margins);
    const long double factor = pictureFactor(resolution);
    g.width = qint64(g.widthPt * factor);
    g.height = qint64(g.heightPt * factor);
    return g;
}

PictureResult renderStrokePicture(const StartupData &data, const QString &ch,
                                  const PictureSettings &s, QImage &out)
{
    out = QImage();
    const QString c = ch.left(1);
    int zx = 0, zy = 0;
    const int n = bhs(data.PrivateFonts, data.CharFontFamily, c, s.metrics.fsize, zx, zy);
    if (n < 1)
        return {PictureStatus::NoStrokeData, QString()};
    if (s.metrics.perRow == 0)
        return {PictureStatus::NoCellsPerRow, QString()};
    const PictureGeometry geo = pictureGeometry(n, s.metrics, s.pointsPerPixel, s.resolution);
    const int dpi = pictureDpi(s.resolution);
    if (s.metrics.perRow < 0 || s.metrics.fsize < 0 || !pictureSizeAllowed(geo.width, geo.height))
        return {PictureStatus::TooLarge,
                QStringLiteral("%1 × %2 pixels is too large").arg(geo.width).arg(geo.height)};
    QImage image = makeBitmap(int(geo.width), int(geo.height), dpi);
    if (image.isNull())
        return {PictureStatus::TooLarge, QStringLiteral("out of memory")};
    // PNG keeps the bitmap's transparent start. BMP and JPEG are cleared to
    // opaque white and stay opaque, so they are drawn without an alpha
    // channel: the same pixels, and no conversion before encoding.
    if (s.type != 2) {
        image.fill(Qt::white);
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    const int mg = int(10 * s.pointsPerPixel); // cells start at the margin, not centred
    drawStrokeSheet(image, dpi, data, c, s.style, s.metrics, mg, mg, zx, zy);
    out = image;
    return {};
}

PictureResult saveStrokePicture(const StartupData &data, const QString &ch,
                                const PictureSettings &settings, const QString &fileName)
{
    QImage image;
    PictureResult r = renderStrokePicture(data, ch, settings, image);
    if (r.status != PictureStatus::Written)
        return r;
    ImageEncoder encoder;
    if (!findImageEncoder(pictureMimeType(settings.type), &encoder))
        return {PictureStatus::WriteFailed, QStringLiteral("no encoder for %1").arg(pictureMimeType(settings.type))};
    QString error;
    if (!saveImage(image, fileName, encoder, &error))
        return {PictureStatus::WriteFailed, error};
    return {};
}

QString HexCodeName(const QString &s)
{
    QString out;
    for (const QChar u : s)
        out += QStringLiteral("%1").arg(u.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return out;
}

QString exportableCharacters(const StartupData &data, const QString &text)
{
    QString out;
    for (const QChar c : text)
        if (data.isSupported(QString(c)))
            out += c;
    return out;
}
