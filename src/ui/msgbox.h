#pragma once
// Modal message boxes.

#include "platform/msgbox.h"

#include <functional>
#include <string>

namespace ui {

// Shows a modal message box and returns the button the user chose. An empty title
// means the application title "Thalvane". Buttons read "确定", "是(Y)", "否(N)".
int MsgBox(const std::string& text, int style = platform::vbOKOnly, const std::string& title = {});

// Tests replace the modal box: the hook sees every call and returns the answer.
// An empty hook restores the real box.
using MsgBoxHook = std::function<int(const platform::MsgBoxCall&)>;
void SetMsgBoxHook(MsgBoxHook hook);

} // namespace ui
