#pragma once

#include <QInputMethodEvent>
#include <QtTest>

// Types text into the widget as a user would: Latin letters and digits as
// key clicks, Chinese characters as an input method commits them.
inline void typeText(QWidget *widget, const QString &text)
{
    QVERIFY(widget);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 128) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            // An emoji is committed whole, as a pair.
            const int n = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, n));
            QApplication::sendEvent(widget, &commit);
            i += n - 1;
        }
    }
}
