// Binds "Lumarel.dll" before WinMain runs and frees it when the process
// exits, through the construction and destruction of one static object.
#include "PlayerLibrary.h"

namespace {

class CStartupBinding
{
public:
    CStartupBinding() { BindPlayerLibrary("Lumarel.dll"); }
    ~CStartupBinding() { UnbindPlayerLibrary(); }

    CStartupBinding(const CStartupBinding&) = delete;
    CStartupBinding& operator=(const CStartupBinding&) = delete;
};

CStartupBinding s_binding;

} // namespace
