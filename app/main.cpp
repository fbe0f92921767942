// Lirabox: a jukebox for collections of MIDI, WAV, video files and CD tracks.
#include <QApplication>
#include <QLibraryInfo>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <ctime>
#include <sys/socket.h>
#include <unistd.h>

#include "app/CPlayerApp.h"
#include "app/SettingsStore.h"
#include "mpris/MprisService.h"
#include "platform/Services.h"
#include "platform/drives/DriveFinder.h"
#include "platform/drives/DriveMap.h"
#include "platform/drives/RealFileAccess.h"
#include "platform/mci/CdAudio.h"
#include "platform/mci/GstMediaWindow.h"
#include "platform/mci/MediaEngine.h"
#include "platform/text/FileText.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Quit.h"
#include "player/CPlayerDlg.h"

namespace {

class SystemClock : public platform::Clock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};

int s_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM close the player as its close box does, after
// cancelling whatever dialog is open over it.
void InstallSignalHandlers(QObject* owner, const CPlayerApp& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(s_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [&app] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(s_signalPipe[0], &byte, 1);
        ui::RequestQuit(app.m_pMainWnd);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The arguments after the program name, as file names: argv is bytes, and a
// Shift-JIS name copied from a Windows disk is no UTF-8. Decoded as every
// name found on disk is, so that it opens as the bytes it was given.
QStringList NativeArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(text::DecodeFileName(argv[i]));
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    if (mci::HasMediaOptions(argc, argv))
        mci::InitMedia(&argc, &argv);
    int result = 0;
    {
        QApplication application(argc, argv);
        // Message boxes, menus and tips draw with the dialogs' font too: in
        // the default one they would load a second font file, and a third
        // for its Japanese fallback.
        QApplication::setFont(ui::DialogFont());
        // GStreamer loads its registry while the window is built; the first
        // media or CD device waits for it.
        mci::StartMedia();
        QTranslator translator;
        if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(&translator);
        CPlayerApp app;
        InstallSignalHandlers(&application, app);
        // On the session bus from the start, so that a message about the
        // command line does not hide the player from the desktop; without a
        // session bus the player runs as it would anyway.
        app.m_onPlayerCreated = [](CPlayerDlg& player) {
            if (const std::optional<QDBusConnection> bus = MprisService::SessionBus())
                MprisService::Publish(&player, *bus);
        };

        SettingsStore settings;
        drives::DriveMap driveMap = drives::DriveMap::FromSystem(settings.ReadGroup(QStringLiteral("Drives")));
        drives::RealFileAccess files(driveMap);
        mci::GstMediaFactory gstMedia(settings.Read(QStringLiteral("SoundFont")).value_or(QString()));
        mci::RealCdSystem realCd(driveMap);
        gstMedia.SetOutputSettings(settings.Read(QStringLiteral("SoundFont")).value_or(QString()),
                                   settings.Read(QStringLiteral("AudioOutput")).value_or(QString()));
        const std::unique_ptr<mci::MediaFactory> media = mci::AfterMediaStarts(gstMedia);
        const std::unique_ptr<mci::CdSystem> cd = mci::AfterMediaStarts(realCd);
        SystemClock clock;
        const platform::DriveFinder findDrive = [](const QString& entry, const QString& collectionPath) {
            return drives::ProposeDriveTarget(entry, drives::FindPlaces::ForUser(collectionPath));
        };
        platform::ScopedServices services({media.get(), cd.get(), &driveMap, &files, &clock, platform::ShowMessageBox,
                                           platform::ShowFileDialog, findDrive});

        // QApplication has taken its own options out of argv.
        app.SetArguments(NativeArguments(argc, argv));
        app.InitInstance();
    }
    mci::ShutdownMedia();
    return result;
}
