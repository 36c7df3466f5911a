#include "PlatformServices.h"

namespace {

class CRealPlatformServices : public IPlatformServices
{
public:
    HRESULT CreateInstance(REFCLSID clsid, DWORD dwClsContext, REFIID iid,
                           void** ppv) override
    {
        return CoCreateInstance(clsid, NULL, dwClsContext, iid, ppv);
    }

    int ShowMessageBox(const char* pszText, const char* pszCaption,
                   UINT uType) override
    {
        return MessageBoxA(NULL, pszText, pszCaption, uType);
    }
};

} // namespace

IPlatformServices& DefaultPlatformServices()
{
    static CRealPlatformServices services;
    return services;
}
