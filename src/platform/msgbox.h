#pragma once
// What a message box is asked to show and what it answers. The box itself is drawn by
// the user-interface floor (ui/msgbox.h); code below it, such as the system-information
// launcher, hands its message up as a MsgBoxCall.

#include <string>

namespace platform {

// Style values of a message box, combined by addition as the windows pass them.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbExclamation = 48,
    vbInformation = 64,
};

// Answers a message box returns.
enum MsgBoxResult : int {
    vbOK = 1,
    vbYes = 6,
    vbNo = 7,
};

struct MsgBoxCall {
    std::string text;  // UTF-8
    std::string title; // UTF-8; the application title when the caller gave none
    int style = vbOKOnly;
};

} // namespace platform
