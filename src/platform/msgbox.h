#pragma once
#include <functional>
#include <string>

namespace platform {

// Style values of a message box, combined by addition as the windows pass them.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
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

// Shows a modal message box and returns the button the user chose. An empty title
// means the application title "Thalvane". Buttons read "确定", "是(Y)", "否(N)".
int MsgBox(const std::string& text, int style = vbOKOnly, const std::string& title = {});

// Tests replace the modal box: the hook sees every call and returns the answer.
// An empty hook restores the real box.
using MsgBoxHook = std::function<int(const MsgBoxCall&)>;
void SetMsgBoxHook(MsgBoxHook hook);

} // namespace platform
