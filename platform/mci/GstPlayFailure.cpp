#include "platform/mci/GstPlayFailure.h"

#include <QStringList>
#include <cstdio>
#include <gst/pbutils/pbutils.h>

namespace mci {

namespace {

const QString kBase = QStringLiteral("gstreamer1.0-plugins-base");
const QString kGood = QStringLiteral("gstreamer1.0-plugins-good");
const QString kBad = QStringLiteral("gstreamer1.0-plugins-bad");
const QString kLibav = QStringLiteral("gstreamer1.0-libav");

struct Provider {
    const char* prefix;  // an element name or caps, matched at their start
    const QString& package;
};

// What the player asks for, by element (after "element-") or by the caps a
// decoder or demuxer is wanted for (after "decoder-").
const Provider kElements[] = {
    {"fluiddec", kBad},      {"avdec_", kLibav},       {"avdemux_", kLibav},     {"wavparse", kGood},
    {"avidemux", kGood},     {"qtdemux", kGood},       {"matroskademux", kGood}, {"flacparse", kGood},
    {"flacdec", kGood},      {"mpg123audiodec", kGood}, {"jpegdec", kGood},      {"vpxdec", kGood},
    {"autoaudiosink", kGood}, {"pulsesink", QStringLiteral("gstreamer1.0-pulseaudio")},
    {"alsasink", QStringLiteral("gstreamer1.0-alsa")}, {"playbin", kBase},       {"decodebin", kBase},
    {"audioconvert", kBase}, {"audioresample", kBase}, {"appsink", kBase},       {"oggdemux", kBase},
    {"vorbisdec", kBase},    {"theoradec", kBase},     {"opusdec", kBase},
};
const Provider kDecoders[] = {
    {"audio/midi", kBad},     {"audio/x-midi", kBad},   {"audio/riff-midi", kBad},
    {"audio/x-wav", kGood},   {"video/x-msvideo", kGood}, {"video/quicktime", kGood},
    {"video/x-matroska", kGood}, {"audio/x-flac", kGood}, {"application/ogg", kBase},
    {"audio/x-vorbis", kBase}, {"video/x-theora", kBase}, {"audio/x-opus", kBase},
    // Most other codecs come with FFmpeg's.
    {"audio/", kLibav},       {"video/", kLibav},
};

template <std::size_t N>
QString Find(const Provider (&table)[N], const QString& name)
{
    for (const Provider& provider : table)
        if (name.startsWith(QLatin1String(provider.prefix)))
            return provider.package;
    return {};
}

}  // namespace

QString PackageForInstallerDetail(const QString& detail)
{
    const QString wanted = detail.section(QLatin1Char('|'), 4);
    if (wanted.startsWith(QLatin1String("element-")))
        return Find(kElements, wanted.mid(8));
    if (wanted.startsWith(QLatin1String("decoder-")))
        return Find(kDecoders, wanted.mid(8));
    return {};
}

QString MissingPluginText(GstMessage* message)
{
    if (!gst_is_missing_plugin_message(message))
        return {};
    gst_pb_utils_init();
    gchar* description = gst_missing_plugin_message_get_description(message);
    gchar* detail = gst_missing_plugin_message_get_installer_detail(message);
    QString text = QString::fromUtf8(description ? description : "unknown plug-in");
    const QString package = detail ? PackageForInstallerDetail(QString::fromUtf8(detail)) : QString();
    if (!package.isEmpty())
        text += QStringLiteral("; install ") + package;
    g_free(description);
    g_free(detail);
    return text;
}

void ReportPlayFailure(const QString& path, const QString& reason)
{
    const QByteArray line = QStringLiteral("lirabox: cannot play %1: %2\n")
                                .arg(path, reason.isEmpty() ? QStringLiteral("unknown error") : reason)
                                .toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

}  // namespace mci
