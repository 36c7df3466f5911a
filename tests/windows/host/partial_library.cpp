// PartialLumarel.dll: a player library that exports NewPlayerControl but not
// DeletePlayerControl, for the host's binding of an incomplete library.
#include "IPlayerControl.h"

namespace {

class NullControl final : public IPlayerControl
{
public:
    void* ScalarDeletingDestructor(unsigned int flags) override
    {
        if (flags & 1)
            delete this;
        return this;
    }
    int SetWindow(HWND) override { return 0; }
    int SetFileName(const char*) override { return 0; }
    int ShowFrame(double) override { return 0; }
    int Play() override { return 1; }
    int Stop() override { return 1; }
    int Pause() override { return 1; }
    int SetPosition(double) override { return 0; }
    double GetPosition() override { return 0.0; }
    double GetDuration() override { return 0.0; }
    int GetItemCount() override { return 0; }
    const char* GetItem(int) override { return nullptr; }
    void Resize() override {}
};

} // namespace

extern "C" __declspec(dllexport) IPlayerControl* NewPlayerControl()
{
    return new NullControl();
}
