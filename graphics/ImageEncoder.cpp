#include "ImageEncoder.h"

#include <QColorSpace>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

#include <turbojpeg.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

QList<ImageEncoder> imageEncoders()
{
    static const QList<ImageEncoder> all = {
        {QStringLiteral("image/bmp"), "bmp", QStringLiteral(".bmp")},
        {QStringLiteral("image/jpeg"), "jpeg", QStringLiteral(".jpg")},
        {QStringLiteral("image/png"), "png", QStringLiteral(".png")},
    };
    return all;
}

bool findImageEncoder(const QString &mimeType, ImageEncoder *out)
{
    bool found = false;
    for (const ImageEncoder &e : imageEncoders()) {
        if (e.mimeType == mimeType) {
            if (out)
                *out = e;
            found = true;
        }
    }
    return found;
}

namespace {

// What a direct encoder made of a picture: written, refused (Qt's writer
// takes it), or failed while writing the file.
enum class Encoded { Written, Refused, WriteFailed };

// The density a JFIF header carries, as Qt's writer rounds it.
quint16 jfifDensity(int dotsPerMeter)
{
    return quint16(std::clamp<long>(std::lround(dotsPerMeter * 0.0254), 1, 65535));
}

// One TurboJPEG compressor and its output buffer per thread: the buffer
// grows to the largest picture and is reused.
struct JpegCompressor
{
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long capacity = 0;
    ~JpegCompressor()
    {
        tjFree(buffer);
        if (handle)
            tjDestroy(handle);
    }
};

// Quality 75, 4:2:0, the accurate integer DCT, the standard Huffman tables
// and the JFIF density in dots per inch: Qt's writer's settings, so the
// file is the same, made straight from the 32-bit pixels.
Encoded writeJpeg(const QImage &image, QIODevice &out)
{
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return Encoded::Refused;
    // Anything but RGB32 becomes opaque as Qt makes it (premultiplied
    // colours are unpremultiplied, not cut off).
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    if (rgb.colorSpace().isValid() || !rgb.textKeys().isEmpty())
        return Encoded::Refused; // Qt's writer adds an ICC profile or comments
    thread_local JpegCompressor jpeg;
    if (!jpeg.handle)
        return Encoded::Refused;
    // TurboJPEG grows the buffer itself (freeing the old one) and reports
    // the compressed size; the capacity is kept apart for the next picture.
    unsigned char *before = jpeg.buffer;
    unsigned long size = jpeg.capacity;
    const int failed = tjCompress2(jpeg.handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(),
                                   TJPF_BGRX, &jpeg.buffer, &size, TJSAMP_420, 75, TJFLAG_ACCURATEDCT);
    if (jpeg.buffer != before)
        jpeg.capacity = 0; // grown by doubling: at least size
    jpeg.capacity = std::max(jpeg.capacity, size);
    if (failed)
        return Encoded::Refused;
    // The JFIF header TurboJPEG writes: SOI, APP0 of 16 bytes, "JFIF\0",
    // version, then units and densities, which get the picture's.
    static const unsigned char jfif[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00};
    if (size < 18 || !std::equal(std::begin(jfif), std::end(jfif), jpeg.buffer))
        return Encoded::Refused;
    jpeg.buffer[13] = 1; // dots per inch
    qToBigEndian(jfifDensity(image.dotsPerMeterX()), jpeg.buffer + 14);
    qToBigEndian(jfifDensity(image.dotsPerMeterY()), jpeg.buffer + 16);
    const qint64 n = qint64(size);
    return out.write(reinterpret_cast<const char *>(jpeg.buffer), n) == n ? Encoded::Written
                                                                            : Encoded::WriteFailed;
}

// A PNG written with zlib directly. Rows are filtered with Up: most rows of
// these pictures repeat the one above (margins, gaps, the straight runs of
// grid lines), and Up turns the strokes' antialiased edges into short runs
// too. Runs of repeated rows, which Up makes all zero, are deflated with
// run-length matching only; the rest at level 5. Files come out about 5 %
// larger than Qt's writer's (adaptive filters, level 6) in about a third of
// its time.
class PngWriter
{
public:
    explicit PngWriter(QIODevice &out) : m_out(out) {}
    ~PngWriter()
    {
        if (m_deflating)
            deflateEnd(&m_z);
    }

    bool write(const QImage &image)
    {
        const bool alpha = image.hasAlphaChannel();
        const int w = image.width(), h = image.height();
        const size_t channels = alpha ? 4 : 3;
        const size_t rowBytes = size_t(w) * channels + 1;
        static const char signature[] = "\x89PNG\r\n\x1a\n";
        if (!put(signature, 8))
            return false;
        uchar ihdr[13];
        qToBigEndian(quint32(w), ihdr);
        qToBigEndian(quint32(h), ihdr + 4);
        ihdr[8] = 8;               // bits per channel
        ihdr[9] = alpha ? 6 : 2;   // RGBA or RGB
        ihdr[10] = ihdr[11] = ihdr[12] = 0;
        if (!chunk("IHDR", ihdr, sizeof ihdr))
            return false;
        if (image.dotsPerMeterX() > 0 || image.dotsPerMeterY() > 0) {
            uchar phys[9];
            qToBigEndian(quint32(std::max(0, image.dotsPerMeterX())), phys);
            qToBigEndian(quint32(std::max(0, image.dotsPerMeterY())), phys + 4);
            phys[8] = 1; // per metre
            if (!chunk("pHYs", phys, sizeof phys))
                return false;
        }
        if (deflateInit2(&m_z, Level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        m_deflating = true;
        m_idat.resize(IdatBytes);
        m_z.next_out = m_idat.data();
        m_z.avail_out = uInt(m_idat.size());

        std::vector<uchar> previous(rowBytes, 0), filtered(rowBytes, 0), zero(rowBytes, 0);
        filtered[0] = zero[0] = 2; // Up
        const QImage::Format rowFormat = alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
        const size_t sourceBytes = size_t(w) * 4;
        constexpr int band = 32; // rows converted at once
        QImage converted;
        int convertedTop = 0;
        int repeats = 0; // repeated rows not yet deflated
        for (int y = 0; y < h; ++y) {
            const uchar *source = image.constScanLine(y);
            if (y > 0 && std::memcmp(source, image.constScanLine(y - 1), sourceBytes) == 0) {
                ++repeats;
                continue;
            }
            if (repeats > 0 && !repeatedRows(zero, repeats))
                return false;
            repeats = 0;
            if (converted.isNull() || y >= convertedTop + converted.height()) {
                convertedTop = y;
                const int rows = std::min(band, h - y);
                converted = QImage(source, w, rows, image.bytesPerLine(), image.format()).convertToFormat(rowFormat);
            }
            const uchar *row = converted.constScanLine(y - convertedTop);
            uchar *up = previous.data() + 1, *f = filtered.data() + 1;
            for (size_t i = 0; i + 1 < rowBytes; ++i) {
                f[i] = uchar(row[i] - up[i]);
                up[i] = row[i];
            }
            if (!deflateBytes(filtered.data(), rowBytes, Z_NO_FLUSH))
                return false;
        }
        if (repeats > 0 && !repeatedRows(zero, repeats))
            return false;
        if (!deflateBytes(nullptr, 0, Z_FINISH) || !flushIdat())
            return false;
        return chunk("IEND", nullptr, 0);
    }

private:
    // Level 5: the lazy matching these rows need (levels 1-3 make files half
    // as large again) with shorter match searches than the default 6.
    static constexpr int Level = 5;
    static constexpr size_t IdatBytes = 1 << 16;

    bool put(const void *data, size_t n)
    {
        return m_out.write(static_cast<const char *>(data), qint64(n)) == qint64(n);
    }

    bool chunk(const char *type, const uchar *data, size_t n)
    {
        uchar head[8];
        qToBigEndian(quint32(n), head);
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (n > 0)
            crc = crc32(crc, data, uInt(n));
        uchar tail[4];
        qToBigEndian(quint32(crc), tail);
        return put(head, 8) && (n == 0 || put(data, n)) && put(tail, 4);
    }

    bool flushIdat()
    {
        const size_t n = m_idat.size() - m_z.avail_out;
        if (n > 0 && !chunk("IDAT", m_idat.data(), n))
            return false;
        m_z.next_out = m_idat.data();
        m_z.avail_out = uInt(m_idat.size());
        return true;
    }

    bool deflateBytes(const uchar *data, size_t n, int flush)
    {
        m_z.next_in = const_cast<uchar *>(data);
        m_z.avail_in = uInt(n);
        for (;;) {
            const int r = deflate(&m_z, flush);
            if (r == Z_STREAM_ERROR)
                return false;
            if (m_z.avail_out == 0) {
                if (!flushIdat())
                    return false;
                continue;
            }
            if (flush == Z_FINISH ? r == Z_STREAM_END : m_z.avail_in == 0)
                return true;
        }
    }

    // Level and strategy changed mid-stream (a block ends there).
    bool params(int level, int strategy)
    {
        for (;;) {
            const int r = deflateParams(&m_z, level, strategy);
            if (r == Z_OK)
                return true;
            if (r != Z_BUF_ERROR || !flushIdat())
                return false;
        }
    }

    // n rows that repeat the one above: all zero after Up. Long runs go
    // through run-length matching, which needs no hash work per byte.
    bool repeatedRows(const std::vector<uchar> &zero, int n)
    {
        const bool rle = n >= 8;
        if (rle && !params(1, Z_RLE))
            return false;
        for (int i = 0; i < n; ++i)
            if (!deflateBytes(zero.data(), zero.size(), Z_NO_FLUSH))
                return false;
        return !rle || params(Level, Z_DEFAULT_STRATEGY);
    }

    QIODevice &m_out;
    z_stream m_z{};
    bool m_deflating = false;
    std::vector<uchar> m_idat;
};

// RGBA (straight alpha) where the picture has alpha, else RGB, 8 bits, with
// its pHYs: what Qt's writer makes of these pictures.
Encoded writePng(const QImage &image, QIODevice &out)
{
    const QImage::Format f = image.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return Encoded::Refused; // palettes, grey and 16 bits: as Qt writes them
    if (image.colorSpace().isValid() || !image.textKeys().isEmpty())
        return Encoded::Refused;
    PngWriter png(out);
    return png.write(image) ? Encoded::Written : Encoded::WriteFailed;
}

} // namespace

bool saveImage(const QImage &image, const QString &fileName, const ImageEncoder &encoder,
               QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (image.isNull())
        return fail(QStringLiteral("empty picture"));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // KELVORA_QT_IMAGE_WRITERS=1 writes with Qt's writers alone, as the
    // program did before: the benchmarks' yardstick.
    static const bool qtOnly = qEnvironmentVariableIntValue("KELVORA_QT_IMAGE_WRITERS") == 1;
    Encoded direct = Encoded::Refused;
    if (!qtOnly && encoder.format == "jpeg")
        direct = writeJpeg(image, file);
    else if (!qtOnly && encoder.format == "png")
        direct = writePng(image, file);
    if (direct == Encoded::WriteFailed) {
        file.cancelWriting();
        return fail(file.errorString().isEmpty() ? QStringLiteral("the picture could not be encoded")
                                                  : file.errorString());
    }
    if (direct == Encoded::Refused) {
        // Qt's writer takes what the direct encoders refuse (and BMP), from
        // the start of the file.
        if (file.pos() != 0 && (!file.resize(0) || !file.seek(0))) {
            file.cancelWriting();
            return fail(file.errorString());
        }
        QImageWriter writer(&file, encoder.format);
        // JPEG and BMP carry no alpha: hand them an opaque copy.
        const bool keepsAlpha = encoder.format == "png";
        const QImage out = keepsAlpha ? image : image.convertToFormat(QImage::Format_RGB32);
        if (!writer.write(out)) {
            file.cancelWriting();
            return fail(writer.errorString());
        }
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
