#pragma once

#include <QInputMethodEvent>
#include <QtTest>

// Types text into the widget as a user would: Latin letters and digits as
// key clicks, Chinese characters as an input method commits them.
inline void typeText(QWidget *widget, const QString &text)
{
    QVERIFY(widget);
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(widget, &commit);
        }
    }
}
