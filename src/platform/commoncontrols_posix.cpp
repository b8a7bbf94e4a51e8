#include "platform/commoncontrols.h"

namespace platform {

void InitCommonControls() {}

} // namespace platform
