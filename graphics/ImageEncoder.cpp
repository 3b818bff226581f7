#include "ImageEncoder.h"

#include <QImageWriter>
#include <QSaveFile>

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
    QImageWriter writer(&file, encoder.format);
    // JPEG and BMP carry no alpha: hand them an opaque copy.
    const bool keepsAlpha = encoder.format == "png";
    const QImage out = keepsAlpha ? image : image.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(out)) {
        file.cancelWriting();
        return fail(writer.errorString());
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
