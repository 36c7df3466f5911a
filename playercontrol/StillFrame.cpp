// ShowFrame: a still picture of the media file, cached in a sidecar bitmap.
#include "CPlayerControl.h"

int CPlayerControl::ShowFrame(double /*streamTime*/)
{
    return 0;
}
