// Saving the stroke-order picture of the main window.
#include "DoDeze.h"

#include "ConversionError.h"
#include "Dialogs.h"
#include "QueryState.h"
#include "RadioGroup.h"
#include "SaveLocation.h"
#include "StrokePicture.h"
#include "WritingGif.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include <cmath>

PictureSettings TForm1::pictureSettings() const
{
    PictureSettings s;
    s.metrics = sheetMetrics();
    s.style = sheetStyle();
    s.type = pictureTypeFromIndex(rg2->itemIndex());
    s.resolution = pictureResolutionFromIndex(rg3->itemIndex());
    s.pointsPerPixel = m_data.PointsPerPixel;
    s.facts = &m_data.Facts;
    return s;
}

void TForm1::rg2Change()
{
    const bool vector = isVectorPicture(pictureTypeFromIndex(rg2->itemIndex()));
    rg3->setEnabled(!vector);
    rg3->setToolTip(vector ? QStringLiteral("pdf、svg 为矢量图，尺寸以点（1/72 英寸）计，不用分辨率")
                           : QString());
}

bool TForm1::SaveDoDeze(const QString &str, const QString &Fdir, QString *error)
{
    DrawingScope drawing;
    if (error)
        error->clear();
    QString why;
    const PictureSettings s = pictureSettings(); // an empty box abandons the save here
    const PictureResult r = saveStrokePicture(m_data, str, s, Fdir);
    if (r.status == PictureStatus::Written && !QFileInfo::exists(Fdir))
        return false; // never report a picture that is not there
    switch (r.status) {
    case PictureStatus::Written:
        return true;
    case PictureStatus::NoStrokeData:
        message(QStringLiteral("暂时不能读取笔画数据！"));
        return false;
    case PictureStatus::NoCellsPerRow:
        throw ConversionError{QStringLiteral("Floating point division by zero")};
    case PictureStatus::TooSmall:
        // An em size below 1 point draws no stroke: such a picture is never written.
        message(tooSmallMessage());
        return false;
    case PictureStatus::TooLarge:
        why = QStringLiteral("字号或每行个数太大，图片无法生成！");
        break;
    case PictureStatus::WriteFailed:
        why = r.error;
        break;
    }
    if (error)
        *error = why;
    return false;
}

QString TForm1::tooSmallMessage()
{
    return QStringLiteral("字号太小，图片中没有笔画，不能保存！请把字号设为 %1 或更大。")
        .arg(int(std::ceil(1 / m_data.PointsPerPixel - 1e-9)));
}

QString TForm1::characterToSave()
{
    if (edt1->text().isEmpty()) {
        message(QStringLiteral("请先输入汉字！"));
        return {};
    }
    if (!edt1->hasSelectedText())
        SelectCharAt(0);
    return edt1->selectedText().left(1);
}

void TForm1::btn2Click()
{
    const QString ch = characterToSave();
    if (ch.isEmpty())
        return;
    // Show the character that is being saved.
    if (ch != queryState().CurrentChar)
        btn1->click();
    QCoreApplication::processEvents();
    if (!m_data.isSupported(ch)) {
        message(QStringLiteral("该汉字不在标准字库中！"));
        return;
    }

    // A size that draws no stroke is refused before a file name is asked for.
    try {
        if (sheetMetrics().fsize < 1) {
            message(tooSmallMessage());
            return;
        }
    } catch (const ConversionError &e) {
        message(e.message);
        return;
    }

    PictureType type = pictureTypeFromIndex(rg2->itemIndex());
    const bool vector = isVectorPicture(type);
    const QString filter = type == PictureType::Pdf   ? QStringLiteral("矢量图(*.pdf)")
                           : type == PictureType::Svg ? QStringLiteral("矢量图(*.svg)")
                                                      : QStringLiteral("图片(*.bmp *.jpg *.png)");
    QString name = Dialogs::instance().saveFileName(this, filter, SaveLocation::suggest(ch + pictureExtension(type)));
    if (name.isEmpty())
        return;
    // A typed extension of another offered type chooses that type.
    const QStringList offered = vector ? QStringList{pictureExtension(type).mid(1)}
                                       : QStringList{QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png")};
    const int typed = int(offered.indexOf(SaveLocation::typedExtension(name, offered)));
    if (!vector && typed >= 0 && typed != rg2->itemIndex()) {
        rg2->setItemIndex(typed);
        type = pictureTypeFromIndex(typed);
    }
    // Only the file name's own extension goes; a folder may contain dots.
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > name.lastIndexOf(QLatin1Char('/')))
        name.truncate(dot);
    const QString path = name + pictureExtension(type);
    if (QFileInfo::exists(path)
        && !Dialogs::instance().question(this, QStringLiteral("该文件名已存在，你确定要覆盖吗？"),
                                         QStringLiteral("提示信息")))
        return;
    try {
        QString why;
        if (SaveDoDeze(ch, path, &why)) {
            SaveLocation::rememberFile(path);
            statusBar()->showMessage(QStringLiteral("图片已保存：%1").arg(QDir::toNativeSeparators(path)));
            message(QStringLiteral("图片已保存！"));
        }
        else if (!why.isEmpty())
            message(QStringLiteral("图片未能保存：%1\n%2").arg(QDir::toNativeSeparators(path), why));
    } catch (const ConversionError &e) {
        message(e.message);
    }
}

void TForm1::btnSaveGifClick()
{
    const QString ch = characterToSave();
    if (ch.isEmpty())
        return;
    if (!m_data.isSupported(ch)) {
        message(QStringLiteral("该汉字不在标准字库中！"));
        return;
    }
    QString name = Dialogs::instance().saveFileName(this, QStringLiteral("动画(*.gif)"),
                                                    SaveLocation::suggest(ch + QStringLiteral(".gif")));
    if (name.isEmpty())
        return;
    if (name.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive))
        name.chop(4);
    const QString path = name + QStringLiteral(".gif");
    if (QFileInfo::exists(path)
        && !Dialogs::instance().question(this, QStringLiteral("该文件名已存在，你确定要覆盖吗？"),
                                         QStringLiteral("提示信息")))
        return;
    const SheetStyle style = sheetStyle();
    WritingGifSettings gif;
    gif.speed = revealSpeed();
    gif.frame = style.frame;
    gif.charColor = style.charColor;
    const WritingGifResult r = writeWritingGif(m_data.PrivateFonts, m_data.CharFontFamily, m_data.SegmentFontFamily,
                                               ch, m_data.directionCodes(ch), gif, path);
    if (r.written) {
        SaveLocation::rememberFile(path);
        statusBar()->showMessage(QStringLiteral("动画已保存：%1").arg(QDir::toNativeSeparators(path)));
        message(QStringLiteral("动画已保存！"));
    }
    else
        message(QStringLiteral("动画未能保存：%1\n%2").arg(QDir::toNativeSeparators(path), r.error));
}
