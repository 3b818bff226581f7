#include "StartupData.h"

#include "EmbeddedResource.h"

#include <QDir>
#include <QFontDatabase>
#include <QStringDecoder>

namespace {

QString decodeGb2312(const QByteArray &bytes)
{
    QStringDecoder decode("GB2312");
    return decode(bytes);
}

void addFont(PrivateFontCollection &fonts, const QString &resource)
{
    const QByteArray data = EmbeddedResource::bytes(resource);
    // A font that fails to load is simply not found when drawing: its glyph
    // paths stay empty and the stroke count is 0.
    if (!data.isEmpty())
        fonts.addMemoryFont(data);
}

} // namespace

bool StartupData::isSupported(const QString &ch) const
{
    if (ch.isEmpty())
        return false;
    const QChar c = ch.at(0);
    if (c.isSpace() || c.isSurrogate())
        return false;
    return SupportedChars.contains(c);
}

QString StartupData::directionCodes(const QString &ch) const
{
    return directionByChar.value(ch.left(1));
}

void StartupData::release()
{
    if (PinyinFontHandle >= 0) {
        QFontDatabase::removeApplicationFont(PinyinFontHandle);
        PinyinFontHandle = -1;
    }
    PrivateFonts.clear();
    CenterLines.clear();
    Facts.clear();
    SupportedChars.clear();
    DirectionTable.clear();
    directionByChar.clear();
}

void loadStartupData(StartupData &data, double dpi, unsigned parts)
{
    data.CharFontFamily = QStringLiteral("JIV_KaiTi_GB2312");
    data.SegmentFontFamily = QStringLiteral("JIV_KaiTi_DH");

    if (parts & StartupTables) {
        data.SupportedChars = decodeGb2312(EmbeddedResource::bytes(QStringLiteral("kt6763"))).trimmed();
        const QString table = decodeGb2312(EmbeddedResource::bytes(QStringLiteral("dh6763")));
        data.DirectionTable = table.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        data.directionByChar.reserve(data.DirectionTable.size());
        for (const QString &line : std::as_const(data.DirectionTable)) {
            const int bar = line.indexOf(QLatin1Char('|'));
            if (bar > 0)
                data.directionByChar.insert(line.left(bar), line.mid(bar + 1));
        }
    }

    // A damaged table leaves no centre lines: practice then has nothing to
    // check against, everything else works.
    data.CenterLines.clear();
    if (parts & StartupCenterLines)
        data.CenterLines.load(EmbeddedResource::bytes(QStringLiteral("cl6763")));

    // Without the facts table the characters simply have no facts to show.
    data.Facts.clear();
    if (parts & StartupFacts)
        data.Facts.load(EmbeddedResource::bytes(QStringLiteral("cf6763")));

    data.PrivateFonts.clear();
    if (parts & StartupCharFont)
        addFont(data.PrivateFonts, QStringLiteral("fonts/JIV_KaiTi_GB2312.ttf"));
    if (parts & StartupSegmentFont)
        addFont(data.PrivateFonts, QStringLiteral("fonts/JIV_KaiTi_DH.ttf"));
    if (parts & StartupNumberFont)
        addFont(data.PrivateFonts, QStringLiteral("fonts/AbcManuscript.ttf"));

    // The pinyin buttons are ordinary widgets: their font goes to the
    // application's font database instead of the private collection.
    if (parts & StartupPinyinFont) {
        const QByteArray pinyin = EmbeddedResource::bytes(QStringLiteral("fonts/PinYinok.ttf"));
        data.PinyinFontHandle = pinyin.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(pinyin);
    }

    if (dpi <= 0)
        dpi = 96.0;
    data.PointsPerPixel = 72.0 / dpi;
    data.PixelsPerPoint = dpi / 72.0;

    // Without TEMP the system temporary folder serves, never the file system root.
    QString temp = qEnvironmentVariable("TEMP");
    if (temp.isEmpty())
        temp = QDir::tempPath();
    if (!temp.endsWith(QLatin1Char('/')))
        temp += QLatin1Char('/');
    data.TempPicDir = temp + QStringLiteral("jivpic/");
    QDir dir(data.TempPicDir);
    if ((parts & StartupPictureFolder) && !dir.exists())
        QDir().mkdir(data.TempPicDir); // one level; a failure shows when pages are written
}

std::unique_ptr<StartupData> copyForWorker(const StartupData &data, unsigned fontParts)
{
    auto copy = std::make_unique<StartupData>();
    unsigned parts = 0;
    if (data.PrivateFonts.hasFamily(data.CharFontFamily))
        parts |= fontParts & StartupCharFont;
    if (data.PrivateFonts.hasFamily(data.SegmentFontFamily))
        parts |= fontParts & StartupSegmentFont;
    if (data.PrivateFonts.hasFamily(QStringLiteral("AbcManuscript")))
        parts |= fontParts & StartupNumberFont;
    loadStartupData(*copy, data.PixelsPerPoint * 72.0, parts);
    copy->CharFontFamily = data.CharFontFamily;
    copy->SegmentFontFamily = data.SegmentFontFamily;
    copy->SupportedChars = data.SupportedChars;
    copy->DirectionTable = data.DirectionTable;
    copy->directionByChar = data.directionByChar;
    copy->PointsPerPixel = data.PointsPerPixel;
    copy->PixelsPerPoint = data.PixelsPerPoint;
    copy->TempPicDir = data.TempPicDir;
    return copy;
}
