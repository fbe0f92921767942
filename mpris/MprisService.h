#pragma once
// The player window published on a D-Bus connection as an MPRIS2 media
// player: org.mpris.MediaPlayer2 and org.mpris.MediaPlayer2.Player at
// /org/mpris/MediaPlayer2. Commands from the bus press the window's own
// buttons; properties are read from the window, the volume is the media
// engine's.

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <optional>

class CPlayerDlg;

// The context of a call lets the adaptors answer with an error.
class MprisService : public QObject, public QDBusContext {
    Q_OBJECT

public:
    // Registers the player and its bus name. The service is a child of the
    // player and leaves the bus with it. Null when the connection is down
    // or refuses the object or every name tried.
    static MprisService* Publish(CPlayerDlg* player, const QDBusConnection& bus);
    // The session bus, when the environment names one and it answers. Never
    // starts a bus of its own.
    static std::optional<QDBusConnection> SessionBus();

    ~MprisService() override;
    QString ServiceName() const { return m_serviceName; }

    // org.mpris.MediaPlayer2
    void Raise();
    void Quit();

    // org.mpris.MediaPlayer2.Player: each presses the window's button, and
    // only while that button is enabled and no dialog is open over the window.
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // Opens the collection a file: URI names (its name percent-encoded
    // bytes, UTF-8 or not) as a history item of the player's menu opens one,
    // without asking: whatever plays stops. Then plays from the first entry
    // as Play does; an empty collection is only opened. Only collections are
    // opened; errors answered:
    //   InvalidArgs   not a file: URI of an absolute path on this machine
    //   NotSupported  a file of another type (a single .wav, .mid, .avi)
    //   org.freedesktop.DBus.Error.FileNotFound  no such file
    //   AccessDenied  the file may not be read
    //   Failed        the file does not read as a collection, or a dialog is
    //                 open over the player (nothing is done then)
    // A failed open leaves the player stopped, as the menu's does.
    void OpenUri(const QString& uri);

    QString PlaybackStatus() const;
    QString LoopStatus() const;
    void SetLoopStatus(const QString& status);
    bool Shuffle() const;
    void SetShuffle(bool on);
    // 0 to 1; a level outside is taken to the nearer end.
    double Volume() const;
    void SetVolume(double level);
    QVariantMap Metadata() const;
    qlonglong Position() const;  // µs
    bool CanPlay() const;
    bool CanPause() const;
    bool CanGoNext() const;
    bool CanGoPrevious() const;

private:
    MprisService(CPlayerDlg* player, const QDBusConnection& bus);
    bool Register();
    // The Player properties whose changes are announced, by name.
    QVariantMap Watched() const;
    // Announces what changed since the last look.
    void OnPlayerChanged();
    bool DialogOpenOverPlayer() const;
    bool Enabled(int id) const;
    bool Checked(int id) const;
    long Mode() const;
    void Press(int id);
    // An error reply to the call on the bus being served, if there is one.
    void Refuse(const QString& name, const QString& message);

    CPlayerDlg* m_player;
    QDBusConnection m_bus;
    QString m_serviceName;
    QVariantMap m_announced;
};
