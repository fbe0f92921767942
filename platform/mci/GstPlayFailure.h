#pragma once
// Why a media file cannot be played, said on stderr in one line (private to
// platform/mci): the path and GStreamer's reason, and for a missing plug-in
// the Debian package that brings it.

#include <QString>
#include <gst/gst.h>

namespace mci {

// For a missing-plugin element message: "audio/x-midi-event decoder;
// install gstreamer1.0-plugins-bad" (without a package when none is known);
// empty for any other message.
QString MissingPluginText(GstMessage* message);

// The Debian package of the element that an installer detail
// ("gstreamer|1.0|app|description|decoder-audio/midi") asks for; empty when
// not known.
QString PackageForInstallerDetail(const QString& detail);

// "lirabox: cannot play <path>: <reason>" on stderr.
void ReportPlayFailure(const QString& path, const QString& reason);

}  // namespace mci
