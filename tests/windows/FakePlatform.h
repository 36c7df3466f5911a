// FakePlatform: platform services for a control under test.
//
// CreateInstance hands out objects registered per CLSID (by querying them
// for the requested interface) and can be made to fail per CLSID; message
// boxes are recorded, not shown. Both go into the shared FakeCallLog as
// "CreateInstance(CLSID_FilterGraph,3)" and "MessageBox(text)".
#ifndef LUMAREL_TESTS_FAKEPLATFORM_H
#define LUMAREL_TESTS_FAKEPLATFORM_H

#include <windows.h>
#include <uuids.h>
#include <qedit.h>

#include <map>
#include <string>
#include <vector>

#include "FakeCallLog.h"
#include "PlatformServices.h"

struct FakeMessageBox
{
    std::string text;
    std::string caption;
    UINT uType;
};

class FakePlatform : public IPlatformServices
{
public:
    explicit FakePlatform(FakeCallLog& log) : m_log(log) {}

    // CreateInstance(clsid) will query pObject; the caller keeps it alive.
    void Register(REFCLSID clsid, IUnknown* pObject) { m_objects[ClsidName(clsid)] = pObject; }
    // CreateInstance(clsid) will fail with hr.
    void FailCreate(REFCLSID clsid, HRESULT hr = REGDB_E_CLASSNOTREG)
    {
        m_failures[ClsidName(clsid)] = hr;
    }

    HRESULT CreateInstance(REFCLSID clsid, DWORD dwClsContext, REFIID iid,
                           void** ppv) override
    {
        *ppv = NULL;
        const std::string name = ClsidName(clsid);
        m_log.Call("CreateInstance", name, dwClsContext);
        auto failure = m_failures.find(name);
        if (failure != m_failures.end())
            return failure->second;
        auto object = m_objects.find(name);
        if (object == m_objects.end())
            return REGDB_E_CLASSNOTREG;
        return object->second->QueryInterface(iid, ppv);
    }

    int ShowMessageBox(const char* pszText, const char* pszCaption,
                       UINT uType) override
    {
        m_log.Call("MessageBox", pszText);
        m_boxes.push_back(FakeMessageBox{pszText, pszCaption, uType});
        return m_nButton;
    }

    const std::vector<FakeMessageBox>& Boxes() const { return m_boxes; }
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const FakeMessageBox& box : m_boxes)
            texts.push_back(box.text);
        return texts;
    }
    // The button every message box answers with.
    void AnswerBoxesWith(int nButton) { m_nButton = nButton; }

    static std::string ClsidName(REFCLSID clsid)
    {
        if (IsEqualCLSID(clsid, CLSID_FilterGraph))
            return "CLSID_FilterGraph";
        if (IsEqualCLSID(clsid, CLSID_VideoRenderer))
            return "CLSID_VideoRenderer";
        if (IsEqualCLSID(clsid, CLSID_MediaDet))
            return "CLSID_MediaDet";
        WCHAR wsz[64] = L"";
        StringFromGUID2(clsid, wsz, 64);
        return FakeCallLog::Narrow(wsz);
    }

private:
    FakeCallLog& m_log;
    std::map<std::string, IUnknown*> m_objects;
    std::map<std::string, HRESULT> m_failures;
    std::vector<FakeMessageBox> m_boxes;
    int m_nButton = IDOK;
};

#endif
