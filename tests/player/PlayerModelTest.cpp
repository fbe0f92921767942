// The player's state machine driven by seeded random command sequences on
// fake devices, with its invariants checked after every step. A failure
// prints the seed and the shortest sequence found that still fails.
//
// LIRABOX_MODEL_SEED=n runs one more seed; LIRABOX_MODEL_STEPS=n sets the
// length of each sequence.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>
#include <cstdio>
#include <random>
#include <set>
#include <sstream>

#include "tests/player/PlayerFixture.h"

namespace {

using playertest::FakeDisc;
using playertest::FakeMediaFile;

enum class Kind {
    Play, Pause, Stop, Next, Previous, Home, Eject, Pick, EndOfEntry, FailDevice, InsertDiscs, Tick,
    Skip, Repeat, Shuffle, Replace, Count
};

const char* const kKindNames[] = {"Play", "Pause", "Stop", "Next", "Previous", "Home", "Eject", "Pick", "EndOfEntry",
                                  "FailDevice", "InsertDiscs", "Tick", "Skip", "Repeat", "Shuffle", "Replace"};

struct Command {
    Kind kind;
    int arg = 0;         // the row of a pick, the collection of a replace
    bool settled = true;  // what the last command posted has run first
};

std::string Describe(const std::vector<Command>& commands)
{
    std::ostringstream out;
    for (const Command& c : commands) {
        if (!c.settled)
            out << '!';
        out << kKindNames[int(c.kind)];
        if (c.kind == Kind::Pick || c.kind == Kind::Replace)
            out << '(' << c.arg << ')';
        out << ' ';
    }
    return out.str();
}

QString Cd(const char* drive, int track)
{
    return QStringLiteral("%1\\ CDﾄﾗｯｸ %2").arg(QLatin1String(drive)).arg(track, 2, 10, QLatin1Char('0'));
}

// Collections a replace hands over: a mix of files, CD runs, a missing file
// and a drive that is never ready; shorter ones; an empty one.
const std::vector<QStringList>& Collections()
{
    static const std::vector<QStringList> collections = {
        {"/m/a.wav", Cd("E:", 2), Cd("E:", 3), Cd("E:", 4), "/m/missing.mid", "/m/b.mid", Cd("F:", 1), Cd("E:", 1),
         "/m/v.avi", Cd("E:", 5)},
        {"/m/a.wav", Cd("E:", 2)},
        {Cd("E:", 3), Cd("E:", 4), "/m/missing.mid"},
        {"/m/b.mid"},
        {},
    };
    return collections;
}

constexpr long kTrackMs = 4'000;
constexpr long kFirstTrackMs = 2'000;

// One player on fresh fakes, run through a sequence of commands.
class Machine {
public:
    Machine()
    {
        FakeDisc disc;
        disc.trackLengthsMs.assign(5, kTrackMs);
        disc.firstTrackStartMs = kFirstTrackMs;
        m_services.AddCdDrive("E:", disc);
        FakeDisc empty;
        empty.trackLengthsMs.assign(3, kTrackMs);
        empty.present = false;
        m_services.AddCdDrive("F:", empty);
        AddFile("/m/a.wav", FakeMediaFile::Audio(3'000));
        AddFile("/m/b.mid", FakeMediaFile::Audio(4'000));
        AddFile("/m/v.avi", FakeMediaFile::Video(2'000, QSize(160, 120)));
        m_state.m_skip = 0;
        m_dlg.Create();
        Replace(0);
    }

    ~Machine() { m_dlg.reject(); }

    // Runs one command. A settled command first lets what the last one posted
    // run and checks every invariant on the state reached; an unsettled one
    // comes in before that, as a click racing the end of an entry does.
    std::optional<std::string> Step(const Command& command)
    {
        if (command.settled || command.kind == Kind::Tick) {
            if (auto failure = Settle())
                return failure;
        }
        NoteOpenTrack();
        const Before before = Look(command);
        Apply(command);
        NoteOpenTrack();
        if (auto failure = CheckCommand(command, before))
            return failure;
        if (qEnvironmentVariableIsSet("LIRABOX_MODEL_TRACE"))
            std::fprintf(stderr, "%s%s(%d) -> %s\n", command.settled ? "" : "!", kKindNames[int(command.kind)],
                         command.arg, Fail(QString()).value_or("").c_str());
        const std::size_t open = m_services.media.OpenWindows().size() + m_services.cd.OpenDevices().size();
        if (open > 1)
            return Fail(QStringLiteral("%1 devices open").arg(open));
        return std::nullopt;
    }

    // The CD tracks open at some moment since the last check: Home plays
    // the open one from its start, whatever the collection holds by then.
    void NoteOpenTrack()
    {
        if (m_dlg.m_isCdTrack)
            m_openTracks.insert(m_dlg.m_cdTrack);
    }

    std::optional<std::string> Settle()
    {
        // Each skipped failure posts one Next: a whole pass of them needs a
        // round for every entry.
        for (int i = 0; i < 40; ++i)
            QCoreApplication::sendPostedEvents();
        if (m_dlg.m_entry.isEmpty())
            m_replacedUnderEntry = false;
        auto failure = Check(m_cdBefore && m_entryBefore == m_dlg.m_entry, m_fromBefore);
        m_services.cd.ClearCalls();
        m_cdBefore = m_dlg.m_isCdTrack;
        m_fromBefore = m_dlg.m_cdFrom;
        m_entryBefore = m_dlg.m_entry;
        m_entriesBefore = m_entries;
        m_openTracks.clear();
        NoteOpenTrack();
        return failure;
    }

private:
    void AddFile(const QString& path, FakeMediaFile file)
    {
        m_services.media.AddFile(path, file);
        m_services.files.Set(path, platform::kAccessReadWrite);
    }

    void Click(int id)
    {
        auto* button = qobject_cast<QAbstractButton*>(m_dlg.GetDlgItem(id));
        if (button->isEnabled())
            button->click();
    }

    void Replace(int which)
    {
        m_entries = Collections().at(std::size_t(which) % Collections().size());
        m_state.m_entries = m_entries;
        m_dlg.m_entryCount = int(m_entries.size());
        m_dlg.FillTitleList();
        if (!m_dlg.m_entry.isEmpty())
            m_replacedUnderEntry = true;
    }

    void Apply(const Command& c)
    {
        switch (c.kind) {
        case Kind::Play: Click(CPlayerDlg::IDC_PLAY); break;
        case Kind::Pause: Click(CPlayerDlg::IDC_PAUSE); break;
        case Kind::Stop: Click(CPlayerDlg::IDC_STOP); break;
        case Kind::Next: Click(CPlayerDlg::IDC_NEXT); break;
        case Kind::Previous: Click(CPlayerDlg::IDC_PREVIOUS); break;
        case Kind::Home: Click(CPlayerDlg::IDC_HOME); break;
        case Kind::Eject: Click(CPlayerDlg::IDC_EJECT); break;
        case Kind::Pick:
            if (m_dlg.m_titleCombo->count() > 0) {
                m_dlg.m_titleCombo->setCurrentIndex(c.arg % m_dlg.m_titleCombo->count());
                m_dlg.OnSelchangeTitle();
            }
            break;
        case Kind::EndOfEntry:
            // The device reaches its end; the tick that notices it has not come yet.
            if (!m_dlg.m_entry.isEmpty())
                m_services.AdvanceMs(std::max<long>(1, m_dlg.m_entryLength - m_dlg.QueryPosition()));
            break;
        case Kind::FailDevice:
            if (m_dlg.m_isCdTrack)
                m_services.cd.Disc("E:").present = false;
            else if (auto* window = m_services.media.Newest())
                window->FailNow();
            break;
        case Kind::InsertDiscs:
            m_services.cd.Disc("E:").present = true;
            m_services.cd.Disc("E:").doorOpen = false;
            break;
        case Kind::Tick:
            m_services.AdvanceMs(1'000);
            if (m_dlg.TimerRunning())
                m_dlg.OnTimer();
            break;
        case Kind::Skip: m_state.m_skip ^= 1; break;
        case Kind::Repeat: Click(CPlayerDlg::IDC_REPEAT); break;
        case Kind::Shuffle: Click(CPlayerDlg::IDC_SHUFFLE); break;
        case Kind::Replace:
            // As the editor does: it may replace the collection unless something plays or pauses.
            if (const long mode = m_dlg.QueryMode(); mode != mci::kModePlaying && mode != mci::kModePaused)
                Replace(c.arg);
            break;
        case Kind::Count: break;
        }
    }

    QString Enabled() const { return playertest::EnabledControls(m_dlg); }

    // What a command's own invariants compare with.
    struct Before {
        bool idle = true;         // no entry open
        bool deviceMoving = false;  // playing or paused
        bool pressed = false;     // the command reaches its handler
        QVector<std::uint32_t> order;
    };

    Before Look(const Command& c)
    {
        Before before;
        before.idle = m_dlg.m_entry.isEmpty();
        const long mode = m_dlg.QueryMode();
        before.deviceMoving = mode == mci::kModePlaying || mode == mci::kModePaused;
        before.order = m_dlg.m_shuffleOrder;
        switch (c.kind) {
        case Kind::Play: before.pressed = m_dlg.IsControlEnabled(CPlayerDlg::IDC_PLAY); break;
        case Kind::Next: before.pressed = m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT); break;
        case Kind::Pick:
            before.pressed = m_dlg.m_titleCombo->count() > 0 && c.arg % m_dlg.m_titleCombo->count() > 0;
            break;
        default: break;
        }
        return before;
    }

    // Invariants of the command just run, before anything it posted runs.
    std::optional<std::string> CheckCommand(const Command& c, const Before& before)
    {
        const bool starts = before.pressed && (c.kind == Kind::Play || c.kind == Kind::Pick);
        if ((m_state.m_flags & kFlagShuffle) && starts && before.idle && !m_entries.isEmpty()) {
            // Play and a pick while idle build a new order at this moment.
            QVector<std::uint32_t> expected;
            m_dlg.BuildShuffleOrder(expected);
            if (m_dlg.m_shuffleOrder != expected)
                return Fail(QStringLiteral("a start with shuffle on kept an old order"));
            // Play starts at the first position of the new order.
            if (c.kind == Kind::Play && !m_dlg.m_entry.isEmpty() && m_dlg.m_entryNumber != int(expected.value(1)))
                return Fail(QStringLiteral("Play did not start at the first entry of the new order"));
        } else if (m_dlg.m_shuffleOrder != before.order && !(starts && (c.kind == Kind::Play || !before.deviceMoving))) {
            return Fail(QStringLiteral("the shuffle order changed outside a start"));
        }
        // With Repeat on, Next stays enabled through the last entry and the wrap.
        const bool moved = c.kind == Kind::Next || (c.kind == Kind::Pick && before.idle);
        if (moved && before.pressed && !m_replacedUnderEntry && !m_dlg.m_entry.isEmpty() &&
            m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT) && !m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT))
            return Fail(QStringLiteral("Next disabled with repeat on"));
        return std::nullopt;
    }

    std::optional<std::string> Fail(const QString& what) const
    {
        return (what + QStringLiteral(" [entry \"%1\", number %2, position %3, controls %4]")
                           .arg(m_dlg.m_entry)
                           .arg(m_dlg.m_entryNumber)
                           .arg(m_dlg.m_playPos)
                           .arg(Enabled()))
            .toStdString();
    }

    std::optional<std::string> Check(bool sameCdEntry, std::uint32_t fromBefore)
    {
        const std::size_t open = m_services.media.OpenWindows().size() + m_services.cd.OpenDevices().size();
        if (open > 1)
            return Fail(QStringLiteral("%1 devices open").arg(open));

        const int n = int(m_entries.size());
        const bool idle = m_dlg.m_entry.isEmpty();
        if (idle) {
            if (open != 0)
                return Fail(QStringLiteral("a device is open while idle"));
            if (m_dlg.TimerRunning())
                return Fail(QStringLiteral("the timer runs while idle"));
            if (Enabled() != QLatin1String("1000001"))
                return Fail(QStringLiteral("idle controls"));
            if (m_dlg.m_titleCombo->currentIndex() != 0)
                return Fail(QStringLiteral("the title list does not show the stop item while idle"));
        } else if (!m_replacedUnderEntry) {
            if (m_dlg.m_entryNumber < 1 || m_dlg.m_entryNumber > n || m_dlg.m_playPos < 0 || m_dlg.m_playPos >= n)
                return Fail(QStringLiteral("an index outside the collection"));
            if (m_entries.at(m_dlg.m_entryNumber - 1) != m_dlg.m_entry)
                return Fail(QStringLiteral("the entry is not the one its number names"));
            if (m_dlg.m_titleCombo->currentIndex() != m_dlg.m_entryNumber)
                return Fail(QStringLiteral("the title list does not show the playing entry"));
            if (!m_dlg.TimerRunning())
                return Fail(QStringLiteral("an entry is open without its timer"));
            const QString controls = Enabled();
            if (controls.left(4) != QLatin1String("0111") || controls.at(6) != QLatin1Char('0'))
                return Fail(QStringLiteral("playing controls"));
            if ((controls.at(4) == QLatin1Char('1')) != (m_dlg.m_playPos > 0))
                return Fail(QStringLiteral("Previous does not follow the position"));
            const bool repeat = m_dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT);
            const bool next = controls.at(5) == QLatin1Char('1');
            if (m_dlg.m_playPos + 1 < n && !next)
                return Fail(QStringLiteral("Next disabled before the last position"));
            if (m_dlg.m_playPos + 1 >= n && !repeat && next)
                return Fail(QStringLiteral("Next enabled at the last position without repeat"));
        }

        const FakeDisc& disc = m_services.cd.Disc("E:");
        for (const QString& call : m_services.cd.Calls().filter(QRegularExpression(QStringLiteral("^Play ")))) {
            const long from = call.section(QLatin1Char(' '), 2, 2).toLong();
            int startOf = 0;
            for (int track = 1; track <= 5; ++track)
                if (disc.TrackStart(track) == from)
                    startOf = track;
            // A play starts at the track of an entry, or goes on inside the
            // entry that was playing (a pause on a drive that stops).
            if (startOf != 0) {
                const bool openTrack = m_openTracks.count(startOf) || (m_dlg.m_isCdTrack && startOf == m_dlg.m_cdTrack);
                if (!openTrack && !m_entries.contains(Cd("E:", startOf)) && !m_entriesBefore.contains(Cd("E:", startOf)))
                    return Fail(QStringLiteral("a play from track %1, which no entry names").arg(startOf));
            } else if (!sameCdEntry || from < long(fromBefore)) {
                return Fail(QStringLiteral("a play from %1, before the start of its track").arg(from));
            }
        }
        return std::nullopt;
    }

    testsupport::TestServices m_services;
    PlayerState m_state;
    testsupport::MemoryStateStore m_store;
    CPlayerDlg m_dlg{m_state, m_store};
    QStringList m_entries;
    bool m_replacedUnderEntry = false;  // the collection changed under the open entry
    // The state at the last settled check.
    bool m_cdBefore = false;
    std::uint32_t m_fromBefore = 0;
    QString m_entryBefore;
    QStringList m_entriesBefore;
    std::set<int> m_openTracks;
};

std::vector<Command> RandomCommands(unsigned seed, int steps)
{
    // Weights: ticks and ends most often, so entries run out and runs go on.
    static const std::vector<std::pair<Kind, int>> weights = {
        {Kind::Play, 6}, {Kind::Pause, 4}, {Kind::Stop, 2}, {Kind::Next, 4}, {Kind::Previous, 3}, {Kind::Home, 3},
        {Kind::Eject, 2}, {Kind::Pick, 5}, {Kind::EndOfEntry, 6}, {Kind::FailDevice, 1}, {Kind::InsertDiscs, 2},
        {Kind::Tick, 14}, {Kind::Skip, 2}, {Kind::Repeat, 2}, {Kind::Shuffle, 2}, {Kind::Replace, 1},
    };
    int total = 0;
    for (const auto& [kind, weight] : weights)
        total += weight;
    std::mt19937 random(seed);
    std::vector<Command> commands;
    commands.reserve(std::size_t(steps));
    for (int i = 0; i < steps; ++i) {
        int roll = int(random() % unsigned(total));
        Kind kind = Kind::Tick;
        for (const auto& [k, weight] : weights) {
            if (roll < weight) {
                kind = k;
                break;
            }
            roll -= weight;
        }
        const int arg = int(random() % 16);
        commands.push_back({kind, arg, random() % 4 != 0});
    }
    return commands;
}

struct Outcome {
    int failedStep = -1;  // -1: every step kept every invariant
    std::string what;
};

Outcome RunCommands(const std::vector<Command>& commands)
{
    Machine machine;
    for (std::size_t i = 0; i < commands.size(); ++i)
        if (auto failure = machine.Step(commands[i]))
            return {int(i), *failure};
    if (auto failure = machine.Settle())
        return {int(commands.size()) - 1, *failure};
    return {};
}

// The invariant a failure broke: its text up to the first figure or state.
std::string KindOf(const std::string& what)
{
    return what.substr(0, what.find_first_of("0123456789["));
}

// Drops runs of commands, then single ones, while the sequence still breaks
// the same invariant.
std::vector<Command> Shrink(std::vector<Command> commands, const std::string& kind)
{
    for (std::size_t chunk = commands.size() / 2; chunk >= 1; chunk /= 2) {
        bool smaller = true;
        while (smaller) {
            smaller = false;
            for (std::size_t i = 0; i + chunk <= commands.size(); i += chunk) {
                std::vector<Command> shorter = commands;
                shorter.erase(shorter.begin() + std::ptrdiff_t(i), shorter.begin() + std::ptrdiff_t(i + chunk));
                const Outcome outcome = RunCommands(shorter);
                if (outcome.failedStep >= 0 && KindOf(outcome.what) == kind) {
                    shorter.resize(std::size_t(outcome.failedStep) + 1);
                    commands = shorter;
                    smaller = true;
                    break;
                }
            }
        }
        if (chunk == 1)
            break;
    }
    return commands;
}

int EnvNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

TEST(PlayerModel, RandomCommandSequencesKeepEveryInvariant)
{
    std::vector<unsigned> seeds = {1, 2, 3, 4};
    if (const int extra = EnvNumber("LIRABOX_MODEL_SEED", -1); extra >= 0)
        seeds.push_back(unsigned(extra));
    const int steps = EnvNumber("LIRABOX_MODEL_STEPS", 5'000);
    for (unsigned seed : seeds) {
        const std::vector<Command> commands = RandomCommands(seed, steps);
        const Outcome outcome = RunCommands(commands);
        if (outcome.failedStep < 0)
            continue;
        std::vector<Command> prefix(commands.begin(), commands.begin() + outcome.failedStep + 1);
        const std::vector<Command> shortest = Shrink(prefix, KindOf(outcome.what));
        const Outcome last = RunCommands(shortest);
        ADD_FAILURE() << "seed " << seed << ", step " << outcome.failedStep << ": " << outcome.what
                      << "\nshortest sequence (" << shortest.size() << " steps): " << Describe(shortest)
                      << "\nwhich ends with: " << last.what;
        return;
    }
}

}  // namespace
