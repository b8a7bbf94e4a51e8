#include "platform/commoncontrols.h"

// windows.h first: commctrl.h relies on its types.
#include <windows.h>

#include <commctrl.h>

namespace platform {

void InitCommonControls() {
    ::InitCommonControls();
}

} // namespace platform
