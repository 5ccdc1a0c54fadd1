#include "map/GPSQuery.h"

#include <wx/log.h>

#include "app/DownloadPreferences.h"

CGPSQuery::CGPSQuery()
    : m_pollTimer(this, ID_GPS_POLL_TIMER), m_timeoutTimer(this, ID_GPS_EXTERNAL_TIMEOUT_TIMER)
{
    Bind(wxEVT_TIMER, &CGPSQuery::OnPollTimer, this, ID_GPS_POLL_TIMER);
    Bind(wxEVT_TIMER, &CGPSQuery::OnTimeoutTimer, this, ID_GPS_EXTERNAL_TIMEOUT_TIMER);
}

CGPSQuery::~CGPSQuery()
{
    m_pollTimer.Stop();
    m_timeoutTimer.Stop();
    wxMutexLocker lock(m_deviceLock);
}

int CGPSQuery::GetState() const
{
    wxMutexLocker lock(m_stateLock);
    return m_state;
}

bool CGPSQuery::StartQuery(bool onlyWhenGpsHome)
{
    if (onlyWhenGpsHome && (!m_prefs || m_prefs->HomeLocation_Source != 0))
        return true;
    if (m_pollTimer.IsRunning()) {
        wxLogError("GPS polling is already active.");
        return false;
    }
    {
        wxMutexLocker lock(m_stateLock);
        m_state = 0;
    }
    if (!RequestPosition())
        return false;
    m_pollTimer.Start(kPollPeriodMs);
    return true;
}

bool CGPSQuery::StopQuery()
{
    m_pollTimer.Stop();
    m_timeoutTimer.Stop();
    wxMutexLocker lock(m_stateLock);
    if (m_state == 1)
        m_state = 2;
    return true;
}

bool CGPSQuery::RequestPosition()
{
    // The serial reading job is started here once the reader has one; until
    // then a request is accepted and answers nothing.
    return true;
}

void CGPSQuery::OnPollTimer(wxTimerEvent&)
{
    RequestPosition();
}

void CGPSQuery::OnTimeoutTimer(wxTimerEvent&)
{
    m_timeoutTimer.Stop();
}
