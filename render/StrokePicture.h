#pragma once

#include "SheetStyle.h"

#include <QImage>
#include <QString>

struct StartupData;

// Picture types: 0 BMP, 1 JPEG, 2 PNG (the "图片类型" items).
QString pictureMimeType(int type);
QString pictureExtension(int type); // ".bmp", ".jpg", ".png"
// Resolutions: 0 96 dpi, 1 300 dpi, 2 600 dpi (the "分辨率dpi" items).
int pictureDpi(int resolution);
// Points to pixels. Held in extended precision and just below 300/72 and
// 600/72, so that 30 points at 300 dpi give 124 pixels, as the pictures
// published so far have it.
long double pictureFactor(int resolution);

// Everything a stroke-order picture depends on: the sheet's look and
// geometry in points, the picture type and resolution, and the screen's
// points per pixel (the margins are 10 screen pixels).
struct PictureSettings
{
    SheetStyle style;
    SheetMetrics metrics;
    int type = 1;
    int resolution = 1;
    double pointsPerPixel = 0.75;
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
// m.perRow must be positive.
PictureGeometry pictureGeometry(int n, const SheetMetrics &m, double pointsPerPixel, int resolution);

enum class PictureStatus {
    Written,
    NoStrokeData, // the character has no glyph in the stroke font
    NoCellsPerRow, // a per-row count of 0 (the row count divides by it)
    TooLarge,     // more pixels than may be drawn
    WriteFailed,  // no encoder, or the file could not be written
};

struct PictureResult
{
    PictureStatus status = PictureStatus::Written;
    QString error; // the reason, for TooLarge and WriteFailed
};

// Renders the stroke-order picture of the first character of ch into out:
// BMP and JPEG on white, PNG on transparent, its resolution recorded. The
// cells start at a margin of 10 screen pixels and are not centred.
PictureResult renderStrokePicture(const StartupData &data, const QString &ch,
                                  const PictureSettings &settings, QImage &out);

// Renders and writes one picture. The bytes go to a temporary name in the
// target folder that is renamed into place when complete, so the final name
// never holds a truncated picture; an existing file is replaced.
PictureResult saveStrokePicture(const StartupData &data, const QString &ch,
                                const PictureSettings &settings, const QString &fileName);

// A file name made of the code of each UTF-16 unit of s as at least four
// upper-case hexadecimal digits (你 gives 4F60).
QString HexCodeName(const QString &s);

// The characters of text that have pictures, in order, repeats kept;
// everything else (line breaks, spaces, letters, unsupported characters)
// is dropped.
QString exportableCharacters(const StartupData &data, const QString &text);
