#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSaveFile>
#include <QString>
#include <QVector>

// The colours of a picture drawn in a handful of colours (the background,
// a grid with its anti-aliased edges, the character), at most maxColours of
// them: the most frequent ones when there are more.
QList<QRgb> gifPalette(const QImage &image, int maxColours = 256);

// An animated GIF written frame by frame with one global palette: each frame
// stores only the rectangle that changed since the one before, and a frame
// equal to the one before lengthens its delay instead. Every pixel takes the
// nearest palette colour. The bytes go to a temporary file renamed into
// place by finish(), so a failed run never leaves a truncated picture.
class GifWriter
{
public:
    GifWriter() = default;
    ~GifWriter();
    GifWriter(const GifWriter &) = delete;
    GifWriter &operator=(const GifWriter &) = delete;

    // loops 0 repeats for ever.
    bool open(const QString &fileName, QSize size, const QList<QRgb> &palette, int loops = 0);
    // A frame of the opened size, shown for delayCs hundredths of a second.
    bool addFrame(const QImage &frame, int delayCs);
    bool finish();
    QString errorString() const { return m_error; }
    int framesWritten() const { return m_written; }

private:
    struct Pending
    {
        QRect rect;
        QByteArray indices; // rect's pixels, row by row
        int delayCs = 0;
    };
    bool flush();
    bool fail(const QString &why);
    uchar indexOf(QRgb c);

    QSaveFile m_file;
    void *m_gif = nullptr; // GifFileType
    QSize m_size;
    QList<QRgb> m_palette;
    QHash<QRgb, uchar> m_lookup;
    QByteArray m_previous; // palette indices of the last frame shown
    Pending m_pending;
    bool m_hasPending = false;
    int m_written = 0;
    QString m_error;
};
