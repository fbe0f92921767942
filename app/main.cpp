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

// Puts the player on the session bus once its window first shows; without
// a session bus the player runs as it would anyway.
class MprisPublisher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* player = qobject_cast<CPlayerDlg*>(watched)) {
                qApp->removeEventFilter(this);
                if (const std::optional<QDBusConnection> bus = MprisService::SessionBus())
                    MprisService::Publish(player, *bus);
            }
        }
        return false;
    }
};

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
        MprisPublisher mpris;
        application.installEventFilter(&mpris);

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

        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        app.SetArguments(arguments);
        app.InitInstance();
    }
    mci::ShutdownMedia();
    return result;
}
