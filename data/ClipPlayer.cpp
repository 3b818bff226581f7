#include "ClipPlayer.h"

#include "EmbeddedResource.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <QtEndian>

WaveClip readWaveClip(const QByteArray &riff)
{
    WaveClip clip;
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return clip;
    bool haveFormat = false, haveData = false;
    int blockAlign = 0;
    qsizetype pos = 12;
    while (pos + 8 <= riff.size()) {
        const QByteArray id = riff.mid(pos, 4);
        const qsizetype len = qFromLittleEndian<quint32>(riff.constData() + pos + 4);
        const char *body = riff.constData() + pos + 8;
        const qsizetype available = qMin(len, riff.size() - pos - 8);
        if (id == "fmt ") {
            if (available < 16 || qFromLittleEndian<quint16>(body) != 1) // 1: PCM
                return clip;
            const int channels = qFromLittleEndian<quint16>(body + 2);
            const int rate = int(qFromLittleEndian<quint32>(body + 4));
            const quint32 byteRate = qFromLittleEndian<quint32>(body + 8);
            blockAlign = qFromLittleEndian<quint16>(body + 12);
            const int bits = qFromLittleEndian<quint16>(body + 14);
            const QAudioFormat::SampleFormat sampleFormat = bits == 8    ? QAudioFormat::UInt8
                                                            : bits == 16 ? QAudioFormat::Int16
                                                            : bits == 32 ? QAudioFormat::Int32
                                                                         : QAudioFormat::Unknown;
            if (sampleFormat == QAudioFormat::Unknown || channels < 1 || rate < 1
                || blockAlign != channels * bits / 8 || byteRate != quint32(rate) * quint32(blockAlign))
                return clip;
            clip.format.setChannelCount(channels);
            clip.format.setSampleRate(rate);
            clip.format.setSampleFormat(sampleFormat);
            haveFormat = true;
        } else if (id == "data") {
            clip.samples = riff.mid(pos + 8, available);
            haveData = true;
        }
        pos += 8 + len + (len & 1);
    }
    if (!haveFormat || !haveData)
        return clip;
    // A cut-off last frame is not played.
    clip.samples.truncate(clip.samples.size() - clip.samples.size() % blockAlign);
    clip.valid = true;
    return clip;
}

ClipPlayer::ClipPlayer(QObject *parent) : QObject(parent) {}

ClipPlayer::~ClipPlayer()
{
    stopClip();
}

bool ClipPlayer::play(const QString &name)
{
    const WaveClip clip = readWaveClip(EmbeddedResource::bytes(name));
    if (!clip.valid) {
        qWarning("No playable sound clip named \"%s\"", qPrintable(name));
        return false;
    }
    m_lastRequested = name.toUpper();
    stopClip();
    // Looked up on every click: a device may come or go while the program
    // runs, and opening none only draws warnings.
    const QAudioDevice out = QMediaDevices::defaultAudioOutput();
    if (out.isNull()) {
        emit noSoundDevice();
        return true;
    }
    m_samples.setData(clip.samples);
    m_samples.open(QIODevice::ReadOnly);
    m_sink = new QAudioSink(out, clip.format, this);
    m_sink->start(&m_samples);
    return true;
}

void ClipPlayer::stopClip()
{
    if (m_sink) {
        // reset() drops what the device still holds, so the old clip stops now.
        m_sink->reset();
        delete m_sink;
        m_sink = nullptr;
    }
    m_samples.close();
}
