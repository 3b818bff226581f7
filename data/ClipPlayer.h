#pragma once

#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioSink;

// A PCM WAVE image taken apart: its sample format and its sample data.
struct WaveClip
{
    bool valid = false;
    QAudioFormat format;
    QByteArray samples;
};

// Reads a RIFF WAVE image holding uncompressed PCM of 8, 16 or 32 bits;
// anything else gives a clip that is not valid.
WaveClip readWaveClip(const QByteArray &riff);

// Plays the embedded pronunciation clips, one at a time: a new clip cuts off
// the one still sounding. play() returns at once and the clip sounds in the
// background; without a sound device nothing plays and noSoundDevice() is
// emitted instead.
class ClipPlayer : public QObject
{
    Q_OBJECT
public:
    explicit ClipPlayer(QObject *parent = nullptr);
    ~ClipPlayer() override;

    // Starts the clip of that name (any case); false when the program has
    // no playable clip of that name.
    bool play(const QString &name);
    // The clip asked for last, in upper case; empty before the first.
    QString lastRequested() const { return m_lastRequested; }

signals:
    void noSoundDevice();

private:
    void stopClip();

    QAudioSink *m_sink = nullptr;
    QBuffer m_samples;
    QString m_lastRequested;
};
