#include "GifWriter.h"

#include <QHash>

#include <algorithm>
#include <gif_lib.h>

namespace {

int writeToFile(GifFileType *gif, const GifByteType *bytes, int length)
{
    auto *file = static_cast<QSaveFile *>(gif->UserData);
    return int(file->write(reinterpret_cast<const char *>(bytes), length));
}

GifFileType *gifOf(void *p) { return static_cast<GifFileType *>(p); }

int distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

QList<QRgb> gifPalette(const QImage &image, int maxColours)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, qint64> counts;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[line[x] | 0xFF000000u];
    }
    QList<QPair<qint64, QRgb>> byCount;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        byCount.append({it.value(), it.key()});
    // Most frequent first; equal counts by colour, so the palette is reproducible.
    std::sort(byCount.begin(), byCount.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<QRgb> palette;
    for (int i = 0; i < byCount.size() && i < std::clamp(maxColours, 1, 256); ++i)
        palette.append(byCount[i].second);
    return palette;
}

GifWriter::~GifWriter()
{
    if (m_gif) {
        int err = 0;
        EGifCloseFile(gifOf(m_gif), &err);
        m_file.cancelWriting();
    }
}

bool GifWriter::fail(const QString &why)
{
    if (m_error.isEmpty())
        m_error = why;
    return false;
}

bool GifWriter::open(const QString &fileName, QSize size, const QList<QRgb> &palette, int loops)
{
    if (size.isEmpty() || size.width() > 65535 || size.height() > 65535)
        return fail(QStringLiteral("picture size out of range"));
    if (palette.isEmpty() || palette.size() > 256)
        return fail(QStringLiteral("a palette needs 1 to 256 colours"));
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(m_file.errorString());
    int err = 0;
    GifFileType *gif = EGifOpen(&m_file, writeToFile, &err);
    if (!gif)
        return fail(QString::fromUtf8(GifErrorString(err)));
    m_gif = gif;
    m_size = size;
    m_palette = palette;
    int bits = 1;
    while ((1 << bits) < palette.size())
        ++bits;
    ColorMapObject *map = GifMakeMapObject(1 << bits, nullptr);
    for (int i = 0; i < map->ColorCount; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : palette.last();
        map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    EGifSetGifVersion(gif, true);
    const bool ok = EGifPutScreenDesc(gif, size.width(), size.height(), bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok)
        return fail(QString::fromUtf8(GifErrorString(gif->Error)));
    // The loop count: the NETSCAPE2.0 application block.
    const GifByteType app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const GifByteType loop[] = {1, GifByteType(loops & 0xFF), GifByteType((loops >> 8) & 0xFF)};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK
        || EGifPutExtensionBlock(gif, sizeof app, app) != GIF_OK
        || EGifPutExtensionBlock(gif, sizeof loop, loop) != GIF_OK
        || EGifPutExtensionTrailer(gif) != GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(gif->Error)));
    return true;
}

uchar GifWriter::indexOf(QRgb c)
{
    c |= 0xFF000000u;
    const auto found = m_lookup.constFind(c);
    if (found != m_lookup.cend())
        return found.value();
    int best = 0;
    for (int i = 1; i < m_palette.size(); ++i)
        if (distance(c, m_palette[i]) < distance(c, m_palette[best]))
            best = i;
    m_lookup.insert(c, uchar(best));
    return uchar(best);
}

bool GifWriter::addFrame(const QImage &frame, int delayCs)
{
    if (!m_gif)
        return fail(QStringLiteral("not open"));
    if (frame.size() != m_size)
        return fail(QStringLiteral("frame size differs from the picture size"));
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    const int w = m_size.width(), h = m_size.height();
    QByteArray indices(qsizetype(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *out = reinterpret_cast<uchar *>(indices.data()) + qsizetype(y) * w;
        for (int x = 0; x < w; ++x)
            out[x] = indexOf(line[x]);
    }
    // What changed since the frame before; the first frame is whole.
    QRect changed(0, 0, w, h);
    if (!m_previous.isEmpty()) {
        int left = w, right = -1, top = h, bottom = -1;
        for (int y = 0; y < h; ++y) {
            const char *a = indices.constData() + qsizetype(y) * w;
            const char *b = m_previous.constData() + qsizetype(y) * w;
            for (int x = 0; x < w; ++x) {
                if (a[x] != b[x]) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (right < 0) { // nothing changed: show the frame before longer
            if (m_hasPending)
                m_pending.delayCs += std::max(0, delayCs);
            return true;
        }
        changed = QRect(QPoint(left, top), QPoint(right, bottom));
    }
    if (!flush())
        return false;
    m_pending.rect = changed;
    m_pending.delayCs = std::max(0, delayCs);
    m_pending.indices.resize(qsizetype(changed.width()) * changed.height());
    for (int y = 0; y < changed.height(); ++y)
        memcpy(m_pending.indices.data() + qsizetype(y) * changed.width(),
               indices.constData() + qsizetype(changed.top() + y) * w + changed.left(),
               size_t(changed.width()));
    m_hasPending = true;
    m_previous = indices;
    return true;
}

bool GifWriter::flush()
{
    if (!m_hasPending)
        return true;
    GifFileType *gif = gifOf(m_gif);
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = std::min(m_pending.delayCs, 65535);
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const size_t len = EGifGCBToExtension(&gcb, ext);
    const QRect &r = m_pending.rect;
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) != GIF_OK
        || EGifPutImageDesc(gif, r.left(), r.top(), r.width(), r.height(), false, nullptr) != GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(gif->Error)));
    for (int y = 0; y < r.height(); ++y) {
        auto *line = reinterpret_cast<GifPixelType *>(m_pending.indices.data()) + qsizetype(y) * r.width();
        if (EGifPutLine(gif, line, r.width()) != GIF_OK)
            return fail(QString::fromUtf8(GifErrorString(gif->Error)));
    }
    m_hasPending = false;
    ++m_written;
    return true;
}

bool GifWriter::finish()
{
    if (!m_gif)
        return fail(QStringLiteral("not open"));
    const bool flushed = flush();
    int err = 0;
    const bool closed = EGifCloseFile(gifOf(m_gif), &err) == GIF_OK;
    m_gif = nullptr;
    if (!flushed || !closed) {
        m_file.cancelWriting();
        return fail(closed ? m_error : QString::fromUtf8(GifErrorString(err)));
    }
    if (!m_file.commit())
        return fail(m_file.errorString());
    return true;
}
