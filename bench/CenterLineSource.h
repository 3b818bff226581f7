#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QPolygonF>
#include <QProcess>
#include <QString>

// The source's centre lines from the test data (y up there, so (x, 900 - y)
// here), until the embedded table is loaded with the other start-up data.
struct CenterLineSource
{
    QString chars;
    QHash<QChar, QList<QPolygonF>> lines;

    QList<QPolygonF> strokes(QChar c) const { return lines.value(c); }

    static CenterLineSource load()
    {
        CenterLineSource s;
        QProcess xz;
        xz.start(QStringLiteral("xz"), {QStringLiteral("-dc"),
                                        QStringLiteral(KELVORA_SOURCE_DIR "/tests/data/medians-gb2312.txt.xz")});
        if (!xz.waitForFinished(60000))
            return s;
        const QList<QByteArray> rows = xz.readAllStandardOutput().split('\n');
        for (const QByteArray &row : rows) {
            const int tab = row.indexOf('\t');
            if (tab <= 0)
                continue;
            const QChar c = QString::fromUtf8(row.left(tab)).at(0);
            QList<QPolygonF> strokes;
            for (const QJsonValue &stroke : QJsonDocument::fromJson(row.mid(tab + 1)).array()) {
                QPolygonF line;
                for (const QJsonValue &p : stroke.toArray())
                    line << QPointF(p.toArray().at(0).toDouble(), 900 - p.toArray().at(1).toDouble());
                strokes << line;
            }
            s.chars += c;
            s.lines.insert(c, strokes);
        }
        return s;
    }
};
