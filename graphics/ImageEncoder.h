#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// One installed image encoder, looked up by MIME type.
struct ImageEncoder
{
    QString mimeType;  // "image/png"
    QByteArray format; // Qt's image format name
    QString extension; // ".png"
};

// The encoders the program can write.
QList<ImageEncoder> imageEncoders();

// The encoder for a MIME type; when several match, the last one wins.
// Returns false when none matches.
bool findImageEncoder(const QString &mimeType, ImageEncoder *out);

// Writes the image with the encoder, keeping its resolution (and alpha for
// PNG; JPEG at the encoder's default quality). The bytes go to a temporary
// file beside the target that is renamed into place only when complete, so a
// failed write never leaves a truncated picture. Returns false on failure,
// with a reason in *error when given.
bool saveImage(const QImage &image, const QString &fileName, const ImageEncoder &encoder,
               QString *error = nullptr);
