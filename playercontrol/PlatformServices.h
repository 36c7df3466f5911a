// PlatformServices: the two platform services the control reaches through a
// seam, so tests can put fakes in their place. The default forwards to
// CoCreateInstance and MessageBoxA.
#ifndef LUMAREL_PLATFORMSERVICES_H
#define LUMAREL_PLATFORMSERVICES_H

#include <windows.h>

class IPlatformServices
{
public:
    virtual ~IPlatformServices() {}

    virtual HRESULT CreateInstance(REFCLSID clsid, DWORD dwClsContext,
                                   REFIID iid, void** ppv) = 0;
    virtual int ShowMessageBox(const char* pszText, const char* pszCaption,
                           UINT uType) = 0;
};

// The real services: CoCreateInstance with no outer object, and an
// owner-less modal MessageBoxA.
IPlatformServices& DefaultPlatformServices();

#endif
