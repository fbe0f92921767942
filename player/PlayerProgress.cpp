// The progress timer, the time display and its modes, the animation ring.
#include <QTimer>

#include "platform/mci/Mci.h"
#include "player/CPlayerDlg.h"

namespace {

constexpr int kFailingTicksToEnd = 3;

struct Hms {
    int h, m, s;
};

// Truncating split of milliseconds; hours are not limited to two digits.
Hms Split(std::int32_t ms)
{
    const int total = ms / 1000;
    const int h = total / 3600;
    const int r = total - 3600 * h;
    return {h, r / 60, r % 60};
}

QString Two(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString Clock(const Hms& t)
{
    return Two(t.h) + QLatin1Char(':') + Two(t.m) + QLatin1Char(':') + Two(t.s);
}

}  // namespace

void CPlayerDlg::FormatTime(std::int32_t position, QString& text)
{
    const Hms elapsed = Split(position);
    const Hms rest = Split(m_entryLength - position);
    switch (m_timeDispMode) {
    case 0:
        text = QStringLiteral("%1tk Past ").arg(m_entryNumber) + Clock(elapsed);
        break;
    case 1:
        text = QStringLiteral("%1tk Rest ").arg(m_entryNumber) + Clock(rest);
        break;
    case 2:
        text = QStringLiteral("%1/%2tk ").arg(m_entryNumber).arg(m_entryCount) + Clock(elapsed) + QLatin1Char('/')
               + Clock({m_lenHours, m_lenMinutes, m_lenSeconds});
        break;
    default:
        break;
    }
}

void CPlayerDlg::OnTimeMode()
{
    if (m_timeDispMode >= 0 && m_timeDispMode <= 2)
        m_timeDispMode = (m_timeDispMode + 1) % 3;
    const long mode = QueryMode();
    if (mode == mci::kModeStopped || mode == mci::kModeNotOpen) {
        if (m_timeDispMode >= 0 && m_timeDispMode <= 2)
            SetIdleTimeText();
        else
            SetDlgItemText(IDC_TIME, QString());
        return;
    }
    FormatTime(QueryPosition(), m_timeText);
    SetDlgItemText(IDC_TIME, m_timeText);
}

void CPlayerDlg::StartTimer()
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setInterval(1000);
        connect(m_timer, &QTimer::timeout, this, &CPlayerDlg::OnTimer);
        connect(m_timer, &QTimer::timeout, this, &CPlayerDlg::StateChanged);
    }
    m_timer->start();
    m_timerId = 1;
}

void CPlayerDlg::StopTimer()
{
    if (m_timer)
        m_timer->stop();
}

bool CPlayerDlg::TimerRunning() const
{
    return m_timer && m_timer->isActive();
}

void CPlayerDlg::OnTimer()
{
    // A device that stops answering (a disc taken out, a drive gone, a stream
    // that failed) ends its entry by the failure rule after a few ticks.
    if (DeviceFailing()) {
        if (++m_failedTicks >= kFailingTicksToEnd)
            OnDeviceLost();
        return;
    }
    m_failedTicks = 0;
    std::int32_t position = QueryPosition();
    if (position >= m_entryLength) {
        m_endReached = TRUE;
        PostOwnCommand(IDC_NEXT);
        position = m_entryLength;
    }
    FormatTime(position, m_timeText);
    SetDlgItemText(IDC_TIME, m_timeText);
    if (QueryMode() == mci::kModePlaying && m_state.m_anime == 1 && m_animate == 1)
        AnimationStep();
}

void CPlayerDlg::AnimationStep()
{
    if (s_animStep < 0 || s_animStep > 7) {
        s_animStep = 0;
        return;
    }
    const int hide = s_animStep == 0 ? IDC_ANIM_LAST : IDC_ANIM_FIRST + s_animStep - 1;
    ShowControl(hide, false);
    ShowControl(IDC_ANIM_FIRST + s_animStep, true);
    s_animStep = (s_animStep + 1) % 8;
}

void CPlayerDlg::HideAnimation()
{
    for (int id = IDC_ANIM_FIRST; id <= IDC_ANIM_LAST; ++id)
        ShowControl(id, false);
}
