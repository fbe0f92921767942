// The drive map and path resolution: never a crash, and answers that agree
// with each other. Input lines: "S<letter>=<target>" a [Drives] setting,
// "D<device>" a detected CD device, "E<text>" the LIRABOX_DRIVES text, any
// other line a path to resolve. "%ROOT%" stands for a folder of test files
// (with a Shift-JIS name among them); lines are file-name bytes.
#include <QFile>
#include <QtGlobal>

#include "fuzz/FuzzSupport.h"
#include "platform/drives/DriveMap.h"
#include "platform/text/FileText.h"

namespace {

QString MakeRoot()
{
    const QString root = fuzz::ScratchFolder("drives");
    const QByteArray native = QFile::encodeName(root);
    QDir().mkpath(root + QStringLiteral("/Music/Sub"));
    QDir().mkpath(root + QStringLiteral("/MIDI"));
    for (const QByteArray& name : {QByteArray("/Music/Sub/a.mid"), QByteArray("/MIDI/Song.MID"),
                                   QByteArray("/MIDI/\x83\x5c\x83\x93\x83\x4f.mid"), QByteArray("/disc.cue")}) {
        QFile file(QFile::decodeName(native + name));
        file.open(QIODevice::WriteOnly);
    }
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString root = MakeRoot();
    // Qt warns of every name with a NUL in it.
    [[maybe_unused]] static const QtMessageHandler quiet = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    QStringList detected;
    QMap<QString, QString> settings;
    QString environment;
    QStringList paths;
    for (const QByteArray& raw : bytes.split('\n')) {
        QString line = text::DecodeFileName(raw);
        line.replace(QStringLiteral("%ROOT%"), root);
        if (line.startsWith(u'S')) {
            const qsizetype eq = line.indexOf(u'=');
            settings.insert(line.mid(1, eq < 0 ? -1 : eq - 1), eq < 0 ? QString() : line.mid(eq + 1));
        } else if (line.startsWith(u'D')) {
            if (line.size() > 1)  // libcdio names no device ""
                detected.append(line.mid(1));
        } else if (line.startsWith(u'E')) {
            environment = line.mid(1);
        } else {
            paths.append(line);
        }
    }

    const drives::DriveMap map = drives::DriveMap::Build(detected, settings, environment);
    const QStringList roots = map.LogicalDriveStrings();
    for (const QString& driveRoot : roots) {
        FUZZ_CHECK(driveRoot.size() == 3 && driveRoot.endsWith(QStringLiteral(":\\")));
        FUZZ_CHECK(map.GetDriveType(driveRoot) != drives::DRIVE_NO_ROOT_DIR);
        FUZZ_CHECK(!map.Target(driveRoot).isEmpty());
    }
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const QString driveRoot = QString(QChar(letter)) + QStringLiteral(":\\");
        if (!roots.contains(driveRoot))
            FUZZ_CHECK(map.GetDriveType(driveRoot) == drives::DRIVE_NO_ROOT_DIR);
    }
    for (const QString& path : paths) {
        const QByteArray native = map.ResolveNativePath(path);
        FUZZ_CHECK(text::EncodeFileName(map.ResolvePath(path)) == native);
    }
    return 0;
}
