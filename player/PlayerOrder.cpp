// Play order: the shuffle order, its generator, and the two check boxes.
#include "platform/Services.h"
#include "platform/mci/Mci.h"
#include "player/CPlayerDlg.h"

namespace {

// The C run-time's linear congruential generator: 15-bit results, 0..32767,
// whatever the platform's own rand gives.
std::uint32_t s_randomState = 1;

int NextRandom()
{
    s_randomState = s_randomState * 214013u + 2531011u;
    return static_cast<int>((s_randomState >> 16) & 0x7FFF);
}

}  // namespace

void CPlayerDlg::SeedRandom(unsigned seed)
{
    s_randomState = seed;
}

int CPlayerDlg::RandomIndex(int m)
{
    constexpr double kScale = 1.0 / 32767.1;
    return static_cast<int>(NextRandom() * kScale * m + 1.0);
}

void CPlayerDlg::BuildShuffleOrder(QVector<std::uint32_t>& order)
{
    const int n = EntryCount();
    if (n < 1)
        return;
    order.resize(n + 1);
    for (int j = 1; j <= n; ++j)
        order[j] = static_cast<std::uint32_t>(j);
    const platform::Clock* clock = platform::GetServices().clock;
    SeedRandom(static_cast<unsigned>(clock ? clock->Now() : std::time(nullptr)));
    // Never exchanging an element with itself gives one cycle through all positions.
    for (int i = n; i >= 2; --i)
        std::swap(order[i], order[RandomIndex(i - 1)]);
}

int CPlayerDlg::Idx(int p) const
{
    const int n = EntryCount();
    int index = p;
    if (ShuffleOn()) {
        // The collection may have been replaced while the order is in use.
        if (p < 0 || p + 1 >= m_shuffleOrder.size())
            return -1;
        index = static_cast<int>(m_shuffleOrder[p + 1]) - 1;
    }
    return index >= 0 && index < n ? index : -1;
}

void CPlayerDlg::OnShuffle()
{
    if (IsDlgButtonChecked(IDC_SHUFFLE))
        m_state.m_flags |= kFlagShuffle;
    else
        m_state.m_flags &= ~kFlagShuffle;
}

void CPlayerDlg::OnRepeat()
{
    const long mode = QueryMode();
    if (IsDlgButtonChecked(IDC_REPEAT)) {
        m_state.m_flags |= kFlagRepeat;
        if (mode == mci::kModePlaying)
            EnableControl(IDC_NEXT, true);
    } else {
        m_state.m_flags &= ~kFlagRepeat;
        if (m_playPos == m_entryCount - 1)
            EnableControl(IDC_NEXT, false);
    }
}
