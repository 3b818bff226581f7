#include "StrokePicture.h"

#include "TextFilter.h"

#include "CharacterFacts.h"

#include "Bitmap.h"
#include "Graphics.h"
#include "ImageEncoder.h"
#include "StartupData.h"
#include "StrokeSheet.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

PictureType pictureTypeFromIndex(int index)
{
    switch (index) {
    case 0:
        return PictureType::Bmp;
    case 2:
        return PictureType::Png;
    case 3:
        return PictureType::Pdf;
    case 4:
        return PictureType::Svg;
    default:
        return PictureType::Jpeg;
    }
}

PictureResolution pictureResolutionFromIndex(int index)
{
    return index == 0 ? PictureResolution::Dpi96 : index == 2 ? PictureResolution::Dpi600 : PictureResolution::Dpi300;
}

QString pictureMimeType(PictureType type)
{
    switch (type) {
    case PictureType::Bmp:
        return QStringLiteral("image/bmp");
    case PictureType::Png:
        return QStringLiteral("image/png");
    case PictureType::Pdf:
        return QStringLiteral("application/pdf");
    case PictureType::Svg:
        return QStringLiteral("image/svg+xml");
    case PictureType::Jpeg:
        break;
    }
    return QStringLiteral("image/jpeg");
}

QString pictureExtension(PictureType type)
{
    switch (type) {
    case PictureType::Pdf:
        return QStringLiteral(".pdf");
    case PictureType::Svg:
        return QStringLiteral(".svg");
    default:
        break;
    }
    // The encoder of a picture type carries its extension.
    ImageEncoder encoder;
    findImageEncoder(pictureMimeType(type), &encoder);
    return encoder.extension;
}

bool isVectorPicture(PictureType type)
{
    return type == PictureType::Pdf || type == PictureType::Svg;
}

int pictureDpi(PictureResolution resolution)
{
    switch (resolution) {
    case PictureResolution::Dpi96:
        return 96;
    case PictureResolution::Dpi600:
        return 600;
    case PictureResolution::Dpi300:
        break;
    }
    return 300;
}

long double pictureFactor(PictureResolution resolution)
{
    switch (resolution) {
    case PictureResolution::Dpi96:
        return 1.3333333333333333334L;
    case PictureResolution::Dpi600:
        return 8.333333333333333333L;
    case PictureResolution::Dpi300:
        break;
    }
    return 4.1666666666666666665L;
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

PictureGeometry pictureGeometry(int n, const PictureSettings &s)
{
    return pictureGeometry(n, s.metrics, s.pointsPerPixel, s.resolution, strokeNameRise(s.style, s.metrics));
}

PictureGeometry pictureGeometry(int n, const SheetMetrics &m, double pointsPerPixel,
                                PictureResolution resolution, int nameRise)
{
    PictureGeometry g;
    const double side = double(m.fsize) + CellMargin;
    // Only the two margins are screen pixels; cells and gaps are points already.
    const double margins = 2 * CellMargin * pointsPerPixel;
    const double across = n > m.perRow ? m.perRow : n;
    const double rows = sheetRows(n, m.perRow);
    g.widthPt = qint64(side * across + (across - 1) * m.hgap + margins);
    g.heightPt = qint64((side + nameRise) * rows + (rows - 1) * m.vgap + margins);
    const long double factor = pictureFactor(resolution);
    g.width = qint64(g.widthPt * factor);
    g.height = qint64(g.heightPt * factor);
    return g;
}

bool vectorSizeAllowed(qint64 widthPt, qint64 heightPt)
{
    return widthPt > 0 && heightPt > 0 && widthPt <= MaxVectorSidePt && heightPt <= MaxVectorSidePt;
}

PictureStatus pictureSettingsStatus(const PictureSettings &s)
{
    if (s.metrics.perRow == 0)
        return PictureStatus::NoCellsPerRow;
    if (s.metrics.fsize < 1)
        return PictureStatus::TooSmall;
    if (s.metrics.perRow < 0)
        return PictureStatus::TooLarge;
    return PictureStatus::Written;
}

QImage PictureCanvas::image(int width, int height, QImage::Format format)
{
    const qsizetype bytes = qsizetype(width) * height * 4;
    if (m_bytes.size() < bytes) {
        m_bytes = QByteArray(); // the old block goes before the larger one comes
        m_bytes.resize(bytes);
    }
    // The bytes are only ever written through the image: no detach happens.
    return QImage(reinterpret_cast<uchar *>(m_bytes.data()), width, height, qsizetype(width) * 4, format);
}

namespace {

// Cells start at a margin of 10 screen pixels, on pictures and vector sheets
// alike, and are not centred.
int sheetMargin(const PictureSettings &s)
{
    return int(10 * s.pointsPerPixel);
}

// The style with the stroke names of ch, written in the stroke font.
SheetStyle styleFor(const PictureSettings &s, const PrivateFontCollection &fonts, const QString &family,
                    const QString &ch)
{
    SheetStyle style = s.style;
    if (style.strokeNames && s.facts && !ch.isEmpty()) {
        style.nameText.fonts = &fonts;
        style.nameText.family = family;
        style.nameText.names = s.facts->facts(ch.at(0)).strokeNames;
    }
    return style;
}

} // namespace

PictureResult renderStrokePicture(const PrivateFontCollection &fonts, const QString &family, const QString &ch,
                                  const PictureSettings &s, QImage &out, PictureCanvas *canvas)
{
    out = QImage();
    const SheetGlyph glyph(fonts, family, ch);
    const int n = glyph.strokeCount();
    if (n < 1)
        return {PictureStatus::NoStrokeData, QString()};
    const PictureStatus refused = pictureSettingsStatus(s);
    const PictureGeometry geo = pictureGeometry(n, s);
    if (refused == PictureStatus::TooLarge || (refused == PictureStatus::Written
                                               && !pictureSizeAllowed(geo.width, geo.height)))
        return {PictureStatus::TooLarge,
                QStringLiteral("%1 × %2 pixels is too large").arg(geo.width).arg(geo.height)};
    if (refused != PictureStatus::Written)
        return {refused, QString()};
    const int dpi = pictureDpi(s.resolution);
    // PNG keeps the bitmap's transparent start, as a vector sheet has no
    // background. BMP and JPEG are cleared to opaque white and stay opaque,
    // so they are drawn without an alpha channel: the same pixels, and no
    // conversion before encoding.
    const bool png = s.type == PictureType::Png || isVectorPicture(s.type);
    const QImage::Format format = png ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage image = canvas ? canvas->image(int(geo.width), int(geo.height), format)
                          : QImage(int(geo.width), int(geo.height), format);
    if (image.isNull())
        return {PictureStatus::TooLarge, QStringLiteral("out of memory")};
    image.fill(png ? 0u : 0xFFFFFFFFu);
    setBitmapDpi(image, dpi);
    const int mg = sheetMargin(s);
    drawSheet(image, dpi, glyph.sized(s.metrics.fsize), styleFor(s, fonts, family, ch), s.metrics, mg, mg);
    out = image;
    return {};
}

PictureResult renderStrokePicture(const StartupData &data, const QString &ch, const PictureSettings &settings,
                                  QImage &out)
{
    return renderStrokePicture(data.PrivateFonts, data.CharFontFamily, ch, settings, out);
}

PictureResult writeStrokePicture(const QImage &picture, PictureType type, const QString &fileName)
{
    ImageEncoder encoder;
    if (!findImageEncoder(pictureMimeType(type), &encoder))
        return {PictureStatus::WriteFailed, QStringLiteral("no encoder for %1").arg(pictureMimeType(type))};
    QString error;
    if (!saveImage(picture, fileName, encoder, &error))
        return {PictureStatus::WriteFailed, error};
    return {};
}

namespace {

// QSvgGenerator gives the size in millimetres, rounded to six digits: the
// sheet is measured in points, so it says so, exactly.
QByteArray sizeInPoints(QByteArray svg, qint64 widthPt, qint64 heightPt)
{
    static const QRegularExpression size(QStringLiteral(R"(width="[0-9.e+-]+mm" height="[0-9.e+-]+mm")"));
    // The attributes come before any text: Latin-1 positions are byte positions.
    const QRegularExpressionMatch m = size.match(QString::fromLatin1(svg.left(1024)));
    if (!m.hasMatch())
        return svg; // millimetres still give the right size
    return svg.replace(m.capturedStart(), m.capturedLength(),
                       QStringLiteral(R"(width="%1pt" height="%2pt")").arg(widthPt).arg(heightPt).toLatin1());
}

// Paints the sheet at one unit per point. The device is no picture in
// memory, so every stroke is a path of its own (no blended layers).
bool paintVectorSheet(QPaintDevice &device, const SizedGlyph &glyph, const SheetStyle &style,
                      const PictureSettings &s)
{
    Graphics g(&device, device.logicalDpiX());
    if (!g.isActive())
        return false;
    g.setPageUnit(PageUnit::Point);
    g.setAntialiasing(true);
    const int mg = sheetMargin(s);
    drawSheet(g, glyph, style, s.metrics, mg, mg);
    return true;
}

PictureResult writeFailed(const QString &why)
{
    return {PictureStatus::WriteFailed, why};
}

} // namespace

PictureResult writeVectorStrokePicture(const PrivateFontCollection &fonts, const QString &family,
                                       const QString &ch, const PictureSettings &s, const QString &fileName)
{
    const SheetGlyph glyph(fonts, family, ch);
    const int n = glyph.strokeCount();
    if (n < 1)
        return {PictureStatus::NoStrokeData, QString()};
    const PictureStatus refused = pictureSettingsStatus(s);
    if (refused == PictureStatus::TooSmall || refused == PictureStatus::NoCellsPerRow)
        return {refused, QString()};
    const PictureGeometry geo = pictureGeometry(n, s);
    if (refused == PictureStatus::TooLarge || !vectorSizeAllowed(geo.widthPt, geo.heightPt))
        return {PictureStatus::TooLarge, QStringLiteral("%1 × %2 points is too large (at most %3 a side)")
                                             .arg(geo.widthPt).arg(geo.heightPt).arg(MaxVectorSidePt)};
    const SizedGlyph sized = glyph.sized(s.metrics.fsize);
    const SheetStyle style = styleFor(s, fonts, family, ch);
    const QString title = ch.left(1);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return writeFailed(file.errorString());
    if (s.type == PictureType::Pdf) {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Kelvora"));
        const QPageSize page(QSizeF(geo.widthPt, geo.heightPt), QPageSize::Point, QString(),
                             QPageSize::ExactMatch);
        if (!pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)))
            || !paintVectorSheet(pdf, sized, style, s)) {
            file.cancelWriting();
            return writeFailed(QStringLiteral("the PDF could not be made"));
        }
    } else {
        // Made in memory first: the size attributes are put in points.
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(72);
        svg.setSize(QSize(int(geo.widthPt), int(geo.heightPt)));
        svg.setViewBox(QRect(0, 0, int(geo.widthPt), int(geo.heightPt)));
        svg.setTitle(title);
        svg.setDescription(QStringLiteral("Kelvora"));
        if (!paintVectorSheet(svg, sized, style, s)) {
            file.cancelWriting();
            return writeFailed(QStringLiteral("the SVG could not be made"));
        }
        const QByteArray bytes = sizeInPoints(buffer.data(), geo.widthPt, geo.heightPt);
        if (file.write(bytes) != bytes.size()) {
            const QString why = file.errorString();
            file.cancelWriting();
            return writeFailed(why);
        }
    }
    if (!file.commit())
        return writeFailed(file.errorString());
    return {};
}

PictureResult saveStrokePicture(const PrivateFontCollection &fonts, const QString &family, const QString &ch,
                                const PictureSettings &settings, const QString &fileName, PictureCanvas *canvas)
{
    if (isVectorPicture(settings.type))
        return writeVectorStrokePicture(fonts, family, ch, settings, fileName);
    QImage image;
    const PictureResult r = renderStrokePicture(fonts, family, ch, settings, image, canvas);
    if (r.status != PictureStatus::Written)
        return r;
    return writeStrokePicture(image, settings.type, fileName);
}

PictureResult saveStrokePicture(const StartupData &data, const QString &ch, const PictureSettings &settings,
                                const QString &fileName)
{
    return saveStrokePicture(data.PrivateFonts, data.CharFontFamily, ch, settings, fileName);
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
    return drawableCharacters(data, text).kept;
}
