#include "FakePlayerLibrary.h"

FakeLibraryState g_fake;

class FakeControl final : public IPlayerControl
{
public:
    explicit FakeControl(int id) : m_id(id) { Log("new"); }
    // The host destroys controls through DeletePlayerControl, never through
    // slot 0 itself.
    void* ScalarDeletingDestructor(unsigned int) override
    {
        Log("SLOT 0 CALLED BY THE HOST");
        return this;
    }
    ~FakeControl()
    {
        Log("delete");
        // The host must never destroy a control from inside its own call.
        if (m_nRunning > 0)
            Log("DELETED INSIDE AN OPERATION");
    }

    int SetWindow(HWND hWnd) override
    {
        g_fake.hLastWindow = hWnd;
        char className[64] = "";
        GetClassNameA(hWnd, className, sizeof(className));
        Log(std::string("SetWindow ") + className);
        Run(g_fake.onSetWindow);
        return 0;
    }
    int SetFileName(const char* pszFile) override
    {
        Log(std::string("SetFileName ") + (pszFile ? pszFile : "(null)"));
        return 0;
    }
    int ShowFrame(double) override { Log("ShowFrame"); return 0; }
    int Play() override
    {
        Log("Play");
        Run(g_fake.onPlay);
        return 1;
    }
    int Stop() override { Log("Stop"); return 1; }
    int Pause() override { Log("Pause"); return 1; }
    int SetPosition(double) override { Log("SetPosition"); return 0; }
    double GetPosition() override { Log("GetPosition"); return 0.0; }
    double GetDuration() override { Log("GetDuration"); return 0.0; }
    int GetItemCount() override { Log("GetItemCount"); return 0; }
    const char* GetItem(int) override { Log("GetItem"); return nullptr; }
    void Resize() override { Log("Resize"); }

private:
    void Log(const std::string& what) { g_fake.log.push_back(std::to_string(m_id) + " " + what); }

    void Run(const std::function<void(int)>& hook)
    {
        if (!hook)
            return;
        ++m_nRunning;
        // The hook may lead to this control's deletion, which is the fault
        // the destructor reports; the member is not touched afterwards then.
        const int id = m_id;
        std::function<void(int)> copy = hook;
        copy(id);
        if (g_fake.live.count(this))
            --m_nRunning;
    }

    int m_id;
    int m_nRunning = 0;
};

IPlayerControl* FakeNewPlayerControl()
{
    if (g_fake.bNewFails)
        return nullptr;
    FakeControl* pControl = new FakeControl(g_fake.nNextId++);
    g_fake.live.insert(pControl);
    return pControl;
}

void FakeDeletePlayerControl(IPlayerControl* pControl)
{
    FakeControl* pFake = static_cast<FakeControl*>(pControl);
    if (pFake && !g_fake.live.count(pFake)) {
        g_fake.log.push_back("DELETE OF AN UNKNOWN CONTROL");
        return;
    }
    g_fake.live.erase(pFake);
    delete pFake;
}

void ResetFakeLibrary()
{
    std::set<FakeControl*> left;
    left.swap(g_fake.live);
    for (FakeControl* pControl : left)
        delete pControl;
    g_fake = FakeLibraryState();
}
