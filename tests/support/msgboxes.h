#pragma once
// Message boxes in tests: every box the program shows is recorded and answered at once,
// with no modal loop left waiting.

#include "ui/msgbox.h"

#include <string>
#include <vector>

namespace testsupport {

// Records each box into `into` and answers it with `answer` for as long as it lives; the
// real box comes back when it goes.
class MsgBoxRecorder {
public:
    explicit MsgBoxRecorder(std::vector<platform::MsgBoxCall>& into, int answer = platform::vbOK) {
        ui::SetMsgBoxHook([&into, answer](const platform::MsgBoxCall& call) {
            into.push_back(call);
            return answer;
        });
    }
    ~MsgBoxRecorder() { ui::SetMsgBoxHook({}); }
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;
};

// The one box start-up shows when the database cannot be opened.
inline bool IsDatabaseMissingBox(const platform::MsgBoxCall& call) {
    return call.text == "辞典文件丢失！" && call.title == "数据处理" &&
           call.style == platform::vbCritical;
}

} // namespace testsupport
