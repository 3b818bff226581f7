#pragma once

#include "SheetStyle.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class CharacterFactsTable;
class PrivateFontCollection;
struct StartupData;

// Picture types ("图片类型": "bmp", "jpg", "png", then the vector sheets
// "pdf" and "svg") and resolutions ("分辨率dpi": "96", "300", "600"), in the
// order of their radio items.
enum class PictureType { Bmp = 0, Jpeg = 1, Png = 2, Pdf = 3, Svg = 4 };
enum class PictureResolution { Dpi96 = 0, Dpi300 = 1, Dpi600 = 2 };
// A radio group's item index as the typed value; out of range gives the default.
PictureType pictureTypeFromIndex(int index);
PictureResolution pictureResolutionFromIndex(int index);

QString pictureMimeType(PictureType type);
QString pictureExtension(PictureType type); // ".bmp", ".jpg", ".png", ".pdf", ".svg"
// PDF and SVG: glyphs and grid as paths, one unit per point. Their size is
// the layout in points, so no resolution applies to them.
bool isVectorPicture(PictureType type);
int pictureDpi(PictureResolution resolution);
// Points to pixels. Held in extended precision and just below 300/72 and
// 600/72, so that 30 points at 300 dpi give 124 pixels, as the pictures
// published so far have it.
long double pictureFactor(PictureResolution resolution);

// Everything a stroke-order picture depends on: the sheet's look and
// geometry in points, the picture type and resolution, and the screen's
// points per pixel (the margins are 10 screen pixels).
struct PictureSettings
{
    // style.strokeNames: the names are looked up in facts for each character.
    SheetStyle style;
    SheetMetrics metrics;
    PictureType type = PictureType::Jpeg;
    PictureResolution resolution = PictureResolution::Dpi300;
    double pointsPerPixel = 0.75;
    // Where the stroke names come from (with style.strokeNames); null: none
    // are written, though the name line stays.
    const CharacterFactsTable *facts = nullptr;
};

// The sheet metrics for sizes typed in screen pixels: em size sizePx, gap
// indexes 0..10 (pixels) and cells per row, each truncated to points.
SheetMetrics sheetMetricsFromPixels(int sizePx, int hgapPx, int vgapPx, int perRow,
                                    double pointsPerPixel);

// The picture of n cells: its layout in points and its size in pixels.
// Computed wide, so absurd settings give an oversized picture, not an overflow.
struct PictureGeometry
{
    qint64 widthPt = 0;
    qint64 heightPt = 0;
    qint64 width = 0;
    qint64 height = 0;
};
// m.perRow must be positive. nameRise: strokeNameRise of the sheet's style.
PictureGeometry pictureGeometry(int n, const SheetMetrics &m, double pointsPerPixel,
                                PictureResolution resolution, int nameRise = 0);
PictureGeometry pictureGeometry(int n, const PictureSettings &s);

// Pages up to 200 inches a side are what PDF readers open; SVG sheets keep
// to the same.
constexpr qint64 MaxVectorSidePt = 14400;
bool vectorSizeAllowed(qint64 widthPt, qint64 heightPt);

enum class PictureStatus {
    Written,
    NoStrokeData,  // the character has no glyph in the stroke font
    NoCellsPerRow, // a per-row count of 0 (the row count divides by it)
    TooSmall,      // an em size below 1 point: the cells would stay empty
    TooLarge,      // more pixels than may be drawn
    WriteFailed,   // no encoder, or the file could not be written
};

struct PictureResult
{
    PictureStatus status = PictureStatus::Written;
    QString error; // the reason, for TooLarge and WriteFailed
};

// Checks that need no glyph: an em size of at least 1 point and a per-row
// count above 0. Written when the settings can make pictures.
PictureStatus pictureSettingsStatus(const PictureSettings &settings);

// Memory for one picture at a time, reused from picture to picture by one
// worker so that a long export does not map and fault in fresh pages for
// every picture. Pictures it hands out live until the next one.
class PictureCanvas
{
public:
    QImage image(int width, int height, QImage::Format format);

private:
    QByteArray m_bytes;
};

// Renders the stroke-order picture of the first character of ch into out:
// BMP and JPEG on white, PNG on transparent, its resolution recorded. For
// PDF and SVG it is the raster twin of the vector sheet: transparent, like
// the sheet, at the settings' resolution. The
// cells start at a margin of 10 screen pixels and are not centred. With a
// canvas, out lives in the canvas's memory.
PictureResult renderStrokePicture(const PrivateFontCollection &fonts, const QString &family, const QString &ch,
                                  const PictureSettings &settings, QImage &out, PictureCanvas *canvas = nullptr);
PictureResult renderStrokePicture(const StartupData &data, const QString &ch, const PictureSettings &settings,
                                  QImage &out);

// Writes a rendered picture in the settings' type (BMP, JPEG or PNG). The
// bytes go to a temporary name in the target folder that is renamed into
// place when complete, so the final name never holds a truncated picture;
// an existing file is replaced.
PictureResult writeStrokePicture(const QImage &picture, PictureType type, const QString &fileName);

// Paints the sheet as a PDF page or an SVG drawing of the layout's size in
// points, glyphs and grid as paths, and writes it like the pictures.
PictureResult writeVectorStrokePicture(const PrivateFontCollection &fonts, const QString &family,
                                       const QString &ch, const PictureSettings &settings,
                                       const QString &fileName);

// Renders and writes one picture (or vector sheet).
PictureResult saveStrokePicture(const PrivateFontCollection &fonts, const QString &family, const QString &ch,
                                const PictureSettings &settings, const QString &fileName,
                                PictureCanvas *canvas = nullptr);
PictureResult saveStrokePicture(const StartupData &data, const QString &ch, const PictureSettings &settings,
                                const QString &fileName);

// A file name made of the code of each UTF-16 unit of s as at least four
// upper-case hexadecimal digits (你 gives 4F60).
QString HexCodeName(const QString &s);

// The characters of text that have pictures, in order, repeats kept;
// everything else (line breaks, spaces, letters, unsupported characters)
// is dropped.
QString exportableCharacters(const StartupData &data, const QString &text);
