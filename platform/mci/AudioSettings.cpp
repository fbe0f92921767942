#include "platform/mci/AudioSettings.h"

#include "platform/drives/RealFileAccess.h"
#include "platform/mci/AudioDevices.h"
#include "platform/mci/GstAudioOutput.h"
#include "platform/mci/MediaEngine.h"
#include "platform/mci/MidiSynth.h"

#include <QFile>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace mci {

namespace {

// "RIFF", the size of what follows, "sfbk": SoundFont 2 and 3 alike.
constexpr qsizetype kRiffHeaderBytes = 12;

// The file as far as it can be judged without the synthesizer.
bool LooksLikeSoundFont(const QByteArray& native, QString* reason)
{
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        *reason = QStringLiteral("a folder, not a file");
        return false;
    }
    QFile file;
    if (!S_ISREG(info.st_mode) || !drives::OpenRegularFile(file, native)) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    const QByteArray header = file.read(kRiffHeaderBytes);
    if (header.size() < kRiffHeaderBytes || !header.startsWith("RIFF") || header.mid(8, 4) != "sfbk") {
        *reason = QStringLiteral("not a SoundFont");
        return false;
    }
    const qint64 declared = qint64(qFromLittleEndian<quint32>(header.constData() + 4)) + 8;
    if (declared > file.size()) {
        *reason = QStringLiteral("cut short: %1 of its %2 bytes").arg(file.size()).arg(declared);
        return false;
    }
    return true;
}

bool LoadsAsSoundFont(const QByteArray& native, QString* reason)
{
    if (native.isEmpty() || native.contains('\0')) {
        *reason = QStringLiteral("no file named");
        return false;
    }
    if (!LooksLikeSoundFont(native, reason))
        return false;
    WaitForMedia();
    if (!EnsureGstreamer()) {
        *reason = QStringLiteral("GStreamer cannot start");
        return false;
    }
    return SynthLoadsSoundFont(native, reason);
}

}  // namespace

QList<AudioOutputChoice> ListAudioOutputs()
{
    WaitForMedia();
    if (!EnsureGstreamer())
        return {};
    return AudioDevices::Instance().List();
}

void SetAudioOutput(const QString& id)
{
    AudioDevices::Instance().Choose(id);
}

QString CurrentAudioOutput()
{
    return AudioDevices::Instance().Chosen();
}

bool CheckSoundFont(const QString& file, QString* reason)
{
    QString why;
    const bool loads = LoadsAsSoundFont(QFile::encodeName(file), &why);
    if (reason)
        *reason = why;
    return loads;
}

}  // namespace mci
