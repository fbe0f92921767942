// The player on a private session bus: every MPRIS call goes over the bus
// from a second connection and acts on the player, which runs on fake devices.
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "mpris/MprisService.h"
#include "platform/text/FileText.h"
#include "platform/ui/Quit.h"
#include "tests/player/PlayerFixture.h"
#include "tests/support/FileBytes.h"

namespace {

using namespace playertest;

const QString kName = QStringLiteral("org.mpris.MediaPlayer2.lirabox");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// PropertiesChanged of the Player interface, as a listener on the bus sees them.
class ChangeRecorder : public QObject {
    Q_OBJECT

public:
    QList<QVariantMap> changes;

    // Values of one property in the order they were announced.
    QVariantList Announced(const QString& property) const
    {
        QVariantList values;
        for (const QVariantMap& change : changes)
            if (change.contains(property))
                values.append(change.value(property));
        return values;
    }

public slots:
    void OnChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
    {
        if (interface == kPlayer)
            changes.append(changed);
    }
};

template <typename Predicate>
bool WaitFor(Predicate done, int limitMs = 10'000)
{
    QDeadlineTimer deadline(limitMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QVariant Plain(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}

class MprisServiceTest : public PlayerFixture {
protected:
    static void SetUpTestSuite()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        s_daemon = new QProcess;
        s_daemon->start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (s_daemon->waitForStarted() && s_daemon->waitForReadyRead(10'000))
            s_address = QString::fromUtf8(s_daemon->readLine()).trimmed();
    }

    static void TearDownTestSuite()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-player"));
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-client"));
        if (s_daemon) {
            s_daemon->terminate();
            s_daemon->waitForFinished();
            delete s_daemon;
            s_daemon = nullptr;
        }
    }

    void SetUp() override
    {
        if (s_address.isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
        AddFile("/m/a.wav", FakeMediaFile::Audio(5'000));
        AddFile("/m/b.mid", FakeMediaFile::Audio(7'000));
        AddFile("/m/c.wav", FakeMediaFile::Audio(9'000));
        Open({"/m/a.wav", "/m/b.mid", "/m/c.wav"});
        const QDBusConnection bus = QDBusConnection::connectToBus(s_address, QStringLiteral("mpris-player"));
        m_service = MprisService::Publish(&m_dlg, bus);
        ASSERT_NE(m_service, nullptr);
        ASSERT_TRUE(m_client.isConnected());
        ASSERT_TRUE(m_client.connect(kName, kPath, kProperties, QStringLiteral("PropertiesChanged"), &m_recorder,
                                     SLOT(OnChanged(QString, QVariantMap, QStringList))));
    }

    // A method call over the bus; the player's event loop runs while it waits.
    void Call(const QString& method, const QString& interface = kPlayer)
    {
        const QDBusMessage reply =
            m_client.call(QDBusMessage::createMethodCall(kName, kPath, interface, method), QDBus::BlockWithGui);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString() << reply.errorMessage().toStdString();
        Flush();
    }

    QVariant Get(const QString& property, const QString& interface = kPlayer)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kProperties, QStringLiteral("Get"));
        call << interface << property;
        const QDBusMessage reply = m_client.call(call, QDBus::BlockWithGui);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return Plain(reply.arguments().first().value<QDBusVariant>().variant());
    }

    // A property write over the bus and its reply, an error or not.
    QDBusMessage Set(const QString& property, const QVariant& value, const QString& interface = kPlayer)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kProperties, QStringLiteral("Set"));
        call << interface << property << QVariant::fromValue(QDBusVariant(value));
        const QDBusMessage reply = m_client.call(call, QDBus::BlockWithGui);
        Flush();
        return reply;
    }

    QVariantMap GetAll(const QString& interface)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kProperties, QStringLiteral("GetAll"));
        call << interface;
        const QDBusMessage reply = m_client.call(call, QDBus::BlockWithGui);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return Plain(reply.arguments().first()).toMap();
    }

    QDBusMessage OpenUri(const QString& uri)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kPlayer, QStringLiteral("OpenUri"));
        call << uri;
        const QDBusMessage reply = m_client.call(call, QDBus::BlockWithGui);
        Flush();
        return reply;
    }

    // A collection file in the test's folder under a name of raw bytes, and
    // the name as the player keeps it.
    QString WriteCollection(const QByteArray& name, const QByteArray& contents)
    {
        const QByteArray folder = QFile::encodeName(m_lists.path());
        EXPECT_TRUE(testsupport::WriteFileBytes(m_lists.filePath("written"), contents));
        EXPECT_EQ(std::rename(folder + "/written", folder + '/' + name), 0);
        m_written.append(folder + '/' + name);
        const QString path = text::DecodeFileName(m_written.last());
        m_services.files.Set(path, platform::kAccessReadWrite);
        return path;
    }

    // QTemporaryDir cannot remove a name that is no UTF-8.
    void TearDown() override
    {
        for (const QByteArray& name : m_written)
            std::remove(name.constData());
    }

    static QString UriOf(const QString& path)
    {
        return QStringLiteral("file://") + QString::fromLatin1(text::EncodeFileName(path).toPercentEncoding("/"));
    }

    QVariantMap Metadata() { return Get(QStringLiteral("Metadata")).toMap(); }
    QString Status() { return Get(QStringLiteral("PlaybackStatus")).toString(); }

    // Can{Play,Pause,GoPrevious,GoNext} as "1100".
    QString Abilities()
    {
        QString s;
        for (const char* name : {"CanPlay", "CanPause", "CanGoPrevious", "CanGoNext"})
            s += Get(QLatin1String(name)).toBool() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

    static inline QProcess* s_daemon = nullptr;
    static inline QString s_address;
    QDBusConnection m_client = QDBusConnection::connectToBus(s_address, QStringLiteral("mpris-client"));
    MprisService* m_service = nullptr;
    ChangeRecorder m_recorder;
    QTemporaryDir m_lists;
    QList<QByteArray> m_written;
};

TEST_F(MprisServiceTest, DescribesTheApplication)
{
    EXPECT_EQ(m_service->ServiceName(), kName);
    EXPECT_EQ(Get(QStringLiteral("Identity"), kRoot).toString(), "Lirabox");
    EXPECT_EQ(Get(QStringLiteral("DesktopEntry"), kRoot).toString(), "lirabox");
    EXPECT_TRUE(Get(QStringLiteral("CanQuit"), kRoot).toBool());
    EXPECT_TRUE(Get(QStringLiteral("CanRaise"), kRoot).toBool());
    EXPECT_FALSE(Get(QStringLiteral("HasTrackList"), kRoot).toBool());
    EXPECT_TRUE(Get(QStringLiteral("CanControl")).toBool());
    EXPECT_FALSE(Get(QStringLiteral("CanSeek")).toBool());
    EXPECT_EQ(Get(QStringLiteral("SupportedUriSchemes"), kRoot).toStringList(), QStringList({"file"}));
    EXPECT_EQ(Get(QStringLiteral("SupportedMimeTypes"), kRoot).toStringList(),
              QStringList({"application/x-lirabox-collection"}));
}

TEST_F(MprisServiceTest, AnEmptyInterfaceNameFindsThePropertyOnAnyInterface)
{
    EXPECT_EQ(Get(QStringLiteral("Identity"), QString()).toString(), "Lirabox");
    EXPECT_EQ(Get(QStringLiteral("PlaybackStatus"), QString()).toString(), "Stopped");
    EXPECT_EQ(Set(QStringLiteral("Shuffle"), true, QString()).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE));
    const auto error = [this](const char* property, const QVariant& value) {
        return Set(QLatin1String(property), value, QString()).errorName().toStdString();
    };
    EXPECT_EQ(error("Loudness", 1.0), "org.freedesktop.DBus.Error.UnknownProperty");
    EXPECT_EQ(error("Identity", QStringLiteral("Other")), "org.freedesktop.DBus.Error.PropertyReadOnly");
    EXPECT_EQ(error("Volume", QStringLiteral("0.5")), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(Get(QStringLiteral("Volume"), QString()).toDouble(), 1.0);
}

TEST_F(MprisServiceTest, IntrospectionDescribesEachInterfaceOnce)
{
    const QDBusMessage reply = m_client.call(
        QDBusMessage::createMethodCall(kName, kPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                       QStringLiteral("Introspect")),
        QDBus::BlockWithGui);
    const QString xml = reply.arguments().value(0).toString();
    for (const QString& interface : {kProperties, kRoot, kPlayer})
        EXPECT_EQ(xml.count(QStringLiteral("<interface name=\"%1\">").arg(interface)), 1) << interface.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral(R"(<property name="Volume" type="d" access="readwrite"/>)")));
    EXPECT_TRUE(xml.contains(QStringLiteral(R"(<property name="Shuffle" type="b" access="readwrite"/>)")));
}

TEST_F(MprisServiceTest, GetAllAnswersEveryPropertyWithItsType)
{
    const QVariantMap player = GetAll(kPlayer);
    EXPECT_EQ(player.value("PlaybackStatus"), QVariant(QStringLiteral("Stopped")));
    EXPECT_EQ(player.value("Volume").metaType(), QMetaType::fromType<double>());
    EXPECT_EQ(player.value("Position").metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(player.value("Shuffle").metaType(), QMetaType::fromType<bool>());
    EXPECT_TRUE(player.contains("Metadata"));
    EXPECT_EQ(player.size(), 15);
    const QVariantMap root = GetAll(kRoot);
    EXPECT_EQ(root.value("Identity"), QVariant(QStringLiteral("Lirabox")));
    EXPECT_EQ(root.size(), 7);
    EXPECT_TRUE(GetAll(QStringLiteral("org.example.None")).isEmpty());
}

TEST_F(MprisServiceTest, WritesOfTheWrongTypeAreRefused)
{
    struct Write {
        const char* property;
        QVariant value;
    };
    const Write wrong[] = {
        {"Shuffle", QStringLiteral("true")}, {"Shuffle", 1},     {"LoopStatus", 1},
        {"LoopStatus", true},                {"Volume", QStringLiteral("0.5")}, {"Volume", 1},
        {"Rate", QStringLiteral("1.0")},     {"Volume", qQNaN()},
    };
    for (const Write& write : wrong) {
        const QDBusMessage reply = Set(QLatin1String(write.property), write.value);
        EXPECT_EQ(reply.errorName().toStdString(), "org.freedesktop.DBus.Error.InvalidArgs")
            << write.property << " as " << write.value.typeName();
    }
    EXPECT_FALSE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE)) << "a refused write changes nothing";
    EXPECT_FALSE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT));
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 1.0);

    const auto error = [this](const char* property, const QVariant& value, const QString& interface = kPlayer) {
        return Set(QLatin1String(property), value, interface).errorName().toStdString();
    };
    EXPECT_EQ(error("PlaybackStatus", QStringLiteral("Playing")), "org.freedesktop.DBus.Error.PropertyReadOnly");
    EXPECT_EQ(error("Loudness", 1.0), "org.freedesktop.DBus.Error.UnknownProperty");
    EXPECT_EQ(error("Shuffle", true, QStringLiteral("org.example.None")), "org.freedesktop.DBus.Error.UnknownInterface");
    EXPECT_EQ(Status(), "Stopped");

    // Of the right type, the same writes are taken.
    EXPECT_EQ(Set(QStringLiteral("Shuffle"), true).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(Set(QStringLiteral("LoopStatus"), QStringLiteral("Playlist")).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE));
    EXPECT_TRUE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT));
}

TEST_F(MprisServiceTest, VolumeIsWritableAndHoldsForTheRun)
{
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 1.0);
    EXPECT_EQ(Set(QStringLiteral("Volume"), 0.25).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_services.media.Volume(), 0.25) << "the engine plays at it";
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 0.25);
    Call(QStringLiteral("Play"));
    Call(QStringLiteral("Next"));
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 0.25) << "the next entry plays at it too";
    Set(QStringLiteral("Volume"), -0.5);
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 0.0) << "below silence is silence";
    EXPECT_EQ(m_services.media.Volume(), 0.0);
    Set(QStringLiteral("Volume"), 4.0);
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 1.0) << "no louder than recorded";
    ASSERT_TRUE(WaitFor([this] { return m_recorder.Announced("Volume").size() >= 3; }));
    EXPECT_EQ(m_recorder.Announced("Volume"), QVariantList({0.25, 0.0, 1.0}));
}

TEST_F(MprisServiceTest, IdlePlayerHasNoTrackAndOnlyPlay)
{
    EXPECT_EQ(Status(), "Stopped");
    EXPECT_EQ(Abilities(), "1000");
    EXPECT_EQ(Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    EXPECT_FALSE(Metadata().contains("xesam:title"));
    EXPECT_EQ(Get(QStringLiteral("Position")).toLongLong(), 0);
}

TEST_F(MprisServiceTest, PlayShowsTheOpenEntry)
{
    Call(QStringLiteral("Play"));
    EXPECT_EQ(m_dlg.m_entryNumber, 1);
    EXPECT_EQ(Status(), "Playing");
    EXPECT_EQ(Abilities(), "1101");
    const QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("mpris:trackid").value<QDBusObjectPath>().path(), "/io/github/quenda/lirabox/track/1");
    EXPECT_EQ(metadata.value("xesam:title").toString(), m_dlg.m_titleCombo->itemText(1));
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 5'000'000);
    EXPECT_EQ(metadata.value("xesam:url").toString(), "file:///m/a.wav");
    Seconds(2);
    EXPECT_EQ(Get(QStringLiteral("Position")).toLongLong(), 2'000'000);
}

TEST_F(MprisServiceTest, PauseResumeAndStopAsTheButtons)
{
    Call(QStringLiteral("PlayPause"));
    EXPECT_EQ(Status(), "Playing");
    Call(QStringLiteral("Pause"));
    EXPECT_EQ(Status(), "Paused");
    Call(QStringLiteral("Pause"));
    EXPECT_EQ(Status(), "Paused") << "Pause does not resume";
    EXPECT_TRUE(Get(QStringLiteral("CanPlay")).toBool()) << "Play takes a paused entry on";
    Call(QStringLiteral("Play"));
    EXPECT_EQ(Status(), "Playing");
    Call(QStringLiteral("PlayPause"));
    EXPECT_EQ(Status(), "Paused");
    Call(QStringLiteral("PlayPause"));
    EXPECT_EQ(Status(), "Playing");
    Call(QStringLiteral("Stop"));
    EXPECT_EQ(Status(), "Stopped");
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(Enabled(), "1000001");
    Call(QStringLiteral("Pause"));
    EXPECT_EQ(Status(), "Stopped") << "Pause is disabled while idle";
}

TEST_F(MprisServiceTest, NextAndPreviousOnlyWhileTheirButtonsAreEnabled)
{
    Call(QStringLiteral("Previous"));
    Call(QStringLiteral("Next"));
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "idle: both disabled";
    Call(QStringLiteral("Play"));
    Call(QStringLiteral("Previous"));
    EXPECT_EQ(m_dlg.m_entryNumber, 1);
    Call(QStringLiteral("Next"));
    EXPECT_EQ(m_dlg.m_entryNumber, 2);
    EXPECT_EQ(Abilities(), "1111");
    Call(QStringLiteral("Next"));
    EXPECT_EQ(m_dlg.m_entryNumber, 3);
    EXPECT_EQ(Abilities(), "1110");
    ASSERT_FALSE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT));
    Call(QStringLiteral("Next"));
    EXPECT_EQ(m_dlg.m_entryNumber, 3) << "Next is disabled on the last entry";
    EXPECT_EQ(Status(), "Playing");
    EXPECT_EQ(PlayedPaths(), QStringList({"/m/a.wav", "/m/b.mid", "/m/c.wav"}));
    Call(QStringLiteral("Previous"));
    EXPECT_EQ(m_dlg.m_entryNumber, 2);
    EXPECT_EQ(Metadata().value("xesam:title").toString(), m_dlg.m_titleCombo->itemText(2));
}

TEST_F(MprisServiceTest, ShuffleAndLoopStatusAreTheCheckBoxes)
{
    EXPECT_FALSE(Get(QStringLiteral("Shuffle")).toBool());
    EXPECT_EQ(Get(QStringLiteral("LoopStatus")).toString(), "None");
    Set(QStringLiteral("Shuffle"), true);
    EXPECT_TRUE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE));
    EXPECT_TRUE(m_state.m_flags & kFlagShuffle) << "set as a click sets it";
    Set(QStringLiteral("LoopStatus"), QStringLiteral("Playlist"));
    EXPECT_TRUE(m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT));
    EXPECT_TRUE(m_state.m_flags & kFlagRepeat);
    EXPECT_EQ(Get(QStringLiteral("LoopStatus")).toString(), "Playlist");
    Set(QStringLiteral("LoopStatus"), QStringLiteral("Track"));
    EXPECT_EQ(Get(QStringLiteral("LoopStatus")).toString(), "Playlist") << "no repeat of one entry";

    Call(QStringLiteral("Play"));
    Set(QStringLiteral("Shuffle"), false);
    EXPECT_TRUE(Get(QStringLiteral("Shuffle")).toBool()) << "the box is disabled while playing";
    Set(QStringLiteral("LoopStatus"), QStringLiteral("None"));
    EXPECT_FALSE(m_state.m_flags & kFlagRepeat);
    Click(CPlayerDlg::IDC_REPEAT);
    EXPECT_EQ(Get(QStringLiteral("LoopStatus")).toString(), "Playlist") << "a click shows on the bus";
}

TEST_F(MprisServiceTest, ChangesAreAnnounced)
{
    Call(QStringLiteral("Play"));
    Call(QStringLiteral("Pause"));
    Call(QStringLiteral("Pause"));
    Click(CPlayerDlg::IDC_PAUSE);
    Call(QStringLiteral("Next"));
    Click(CPlayerDlg::IDC_REPEAT);
    Call(QStringLiteral("Stop"));
    ASSERT_TRUE(WaitFor([this] { return m_recorder.Announced("PlaybackStatus").size() >= 4; }));
    EXPECT_EQ(m_recorder.Announced("PlaybackStatus"), QVariantList({"Playing", "Paused", "Playing", "Stopped"}));
    ASSERT_TRUE(WaitFor([this] { return m_recorder.Announced("Metadata").size() >= 3; }));
    QStringList titles;
    for (const QVariant& metadata : m_recorder.Announced("Metadata"))
        titles.append(Plain(metadata).toMap().value("xesam:title").toString());
    EXPECT_EQ(titles, QStringList({m_dlg.m_titleCombo->itemText(1), m_dlg.m_titleCombo->itemText(2), QString()}));
    EXPECT_EQ(m_recorder.Announced("LoopStatus"), QVariantList({"Playlist"}));
    EXPECT_EQ(m_recorder.Announced("CanGoPrevious"), QVariantList({true, false}));
}

TEST_F(MprisServiceTest, TicksAnnounceOnlyWhatChanged)
{
    Call(QStringLiteral("Play"));
    ASSERT_TRUE(WaitFor([this] { return !m_recorder.changes.isEmpty(); }));
    const qsizetype before = m_recorder.changes.size();
    auto* timer = m_dlg.findChild<QTimer*>();
    ASSERT_TRUE(timer && timer->isActive());
    // A second of play as the window's own timer ticks it.
    const auto tick = [&] {
        m_services.AdvanceMs(1000);
        QMetaObject::invokeMethod(timer, "timeout");
        Flush();
    };
    tick();
    tick();
    m_dlg.m_mciWnd.Pause();  // the device pauses without a command: only a tick sees it
    tick();
    ASSERT_TRUE(WaitFor([this] { return m_recorder.Announced("PlaybackStatus").size() >= 2; }));
    EXPECT_EQ(m_recorder.Announced("PlaybackStatus"), QVariantList({"Playing", "Paused"}));
    EXPECT_EQ(m_recorder.changes.size(), before + 1) << "a tick that changes nothing says nothing";
}

TEST_F(MprisServiceTest, EntryEndMovesOnAndIsAnnounced)
{
    Call(QStringLiteral("Play"));
    Seconds(6);
    EXPECT_EQ(m_dlg.m_entryNumber, 2);
    ASSERT_TRUE(WaitFor([this] { return m_recorder.Announced("Metadata").size() >= 2; }));
    const QVariantMap second = Plain(m_recorder.Announced("Metadata").last()).toMap();
    EXPECT_EQ(second.value("mpris:length").toLongLong(), 7'000'000);
    EXPECT_EQ(second.value("mpris:trackid").value<QDBusObjectPath>().path(), "/io/github/quenda/lirabox/track/2");
}

TEST_F(MprisServiceTest, OpenUriSwitchesToTheCollectionAndPlaysItsFirstEntry)
{
    Call(QStringLiteral("Play"));
    Call(QStringLiteral("Next"));
    // A Shift-JIS name, as unpacked from an old Windows archive.
    const QString path = WriteCollection("\x8B\xC8.lst", "/m/c.wav\r\n/m/a.wav\r\n");
    const QDBusMessage reply = OpenUri(UriOf(path));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << "nothing asked: a busy player just switches";
    EXPECT_EQ(m_state.m_collectionPath, path);
    EXPECT_EQ(m_state.m_entries, QStringList({"/m/c.wav", "/m/a.wav"}));
    EXPECT_EQ(m_state.m_historyList.value(0), path);
    EXPECT_EQ(Status(), "Playing");
    EXPECT_EQ(m_dlg.m_entryNumber, 1);
    EXPECT_EQ(PlayedPaths(), QStringList({"/m/a.wav", "/m/b.mid", "/m/c.wav"}));

    // The name as any other client spells it: host, upper-case suffix, UTF-8 unescaped.
    const QString other = WriteCollection("\xE6\x9B\xB2.LST", "/m/b.mid\r\n");
    ASSERT_EQ(OpenUri(QStringLiteral("file://localhost") + QDir(m_lists.path()).filePath(QStringLiteral("曲.LST"))).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_state.m_collectionPath, other);
    EXPECT_EQ(PlayedPaths().last(), "/m/b.mid");
}

TEST_F(MprisServiceTest, OpenUriRefusesWhatItCannotOpenAndKeepsTheCollection)
{
    const QString noAccess = WriteCollection("locked.lst", "/m/a.wav\r\n");
    m_services.files.Set(noAccess, platform::kAccessWrite);
    QDir().mkpath(m_lists.filePath("folder.lst"));
    m_services.files.Set(m_lists.filePath("folder.lst"), platform::kAccessReadWrite);
    struct Refusal {
        QString uri;
        const char* error;
    };
    const Refusal refusals[] = {
        {QStringLiteral("http://example.org/a.lst"), "org.freedesktop.DBus.Error.InvalidArgs"},
        {QStringLiteral("file://elsewhere/a.lst"), "org.freedesktop.DBus.Error.InvalidArgs"},
        {QStringLiteral("file:a.lst"), "org.freedesktop.DBus.Error.InvalidArgs"},
        {QStringLiteral("/m/list.lst"), "org.freedesktop.DBus.Error.InvalidArgs"},
        {QStringLiteral("file:///m/a.wav"), "org.freedesktop.DBus.Error.NotSupported"},
        {UriOf(m_lists.filePath("missing.lst")), "org.freedesktop.DBus.Error.FileNotFound"},
        {UriOf(noAccess), "org.freedesktop.DBus.Error.AccessDenied"},
        {UriOf(m_lists.filePath("folder.lst")), "org.freedesktop.DBus.Error.Failed"},
    };
    for (const Refusal& refusal : refusals)
        EXPECT_EQ(OpenUri(refusal.uri).errorName().toStdString(), refusal.error) << refusal.uri.toStdString();
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_TRUE(m_state.m_collectionPath.isEmpty());
    EXPECT_EQ(m_state.m_entries, QStringList({"/m/a.wav", "/m/b.mid", "/m/c.wav"}));
    EXPECT_TRUE(m_state.m_historyList.isEmpty());
    EXPECT_TRUE(PlayedPaths().isEmpty());

    // An empty collection opens, with nothing to play and no box saying so.
    const QString empty = WriteCollection("empty.lst", "");
    EXPECT_EQ(OpenUri(UriOf(empty)).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_state.m_collectionPath, empty);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_EQ(Status(), "Stopped");
}

TEST_F(MprisServiceTest, OpenUriWaitsForTheDialogOverThePlayer)
{
    const QString path = WriteCollection("list.lst", "/m/c.wav\r\n");
    QDialog dialog(&m_dlg);
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_EQ(OpenUri(UriOf(path)).errorName().toStdString(), "org.freedesktop.DBus.Error.Failed");
    EXPECT_TRUE(m_state.m_collectionPath.isEmpty());
    dialog.hide();
    EXPECT_EQ(OpenUri(UriOf(path)).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(PlayedPaths(), QStringList({"/m/c.wav"}));
}

TEST_F(MprisServiceTest, RaiseRestoresAMinimisedWindow)
{
    m_dlg.show();
    m_dlg.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(m_dlg.isMinimized());
    Call(QStringLiteral("Raise"), kRoot);
    EXPECT_FALSE(m_dlg.isMinimized());
    EXPECT_TRUE(m_dlg.isVisible());
}

TEST_F(MprisServiceTest, QuitClosesThePlayerAsItsCloseBox)
{
    m_dlg.show();
    Call(QStringLiteral("Play"));
    Call(QStringLiteral("Quit"), kRoot);
    const bool ended = WaitFor([this] { return m_dlg.IsEnded(); });
    ui::ClearQuitRequest();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "playing stopped";
}

TEST_F(MprisServiceTest, LeavesTheBusWithThePlayer)
{
    delete m_service;
    const QDBusMessage reply = m_client.call(
        QDBusMessage::createMethodCall(kName, kPath, kPlayer, QStringLiteral("Play")), QDBus::BlockWithGui);
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_FALSE(m_client.interface()->isServiceRegistered(kName).value()) << "the name is free for the next player";
}

}  // namespace

#include "MprisServiceTest.moc"
