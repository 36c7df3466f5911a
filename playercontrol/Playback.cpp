// Playback and transport: the graph is built on the first Play.
#include "CPlayerControl.h"

int CPlayerControl::OpenFile(const char* /*pszFile*/)
{
    return 1;
}

int CPlayerControl::Play()
{
    return 1;
}

int CPlayerControl::Stop()
{
    return 1;
}

int CPlayerControl::Pause()
{
    return 1;
}

int CPlayerControl::SetPosition(double /*seconds*/)
{
    return 0;
}

double CPlayerControl::GetPosition()
{
    return 0.0;
}

double CPlayerControl::GetDuration()
{
    return 0.0;
}
