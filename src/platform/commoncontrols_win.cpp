#include "platform/commoncontrols.h"

#include <windows.h>
#include <commctrl.h>

namespace platform {

void InitCommonControls() { ::InitCommonControls(); }

} // namespace platform
