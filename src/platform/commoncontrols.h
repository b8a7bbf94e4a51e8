#pragma once

namespace platform {

// Every window calls this once when its window object is created. On Windows it
// registers the common-control classes; elsewhere there is nothing to do.
void InitCommonControls();

} // namespace platform
