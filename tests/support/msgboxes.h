#pragma once
// Message boxes in tests: every box the program shows is recorded and answered at once,
// with no modal loop left waiting.

#include "ui/msgbox.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace testsupport {

// Records each box into `into` and answers it with `answer` for as long as it lives; the
// real box comes back when it goes.
class MsgBoxRecorder {
public:
    explicit MsgBoxRecorder(std::vector<platform::MsgBoxCall>& into, int answer = platform::vbOK)
        : answer_(answer) {
        ui::SetMsgBoxHook([&into, this](const platform::MsgBoxCall& call) {
            into.push_back(call);
            return answer_;
        });
    }
    ~MsgBoxRecorder() { ui::SetMsgBoxHook({}); }
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    // The answer to every later box.
    void Answer(int answer) { answer_ = answer; }

private:
    int answer_;
};

// The texts of the boxes, in the order shown.
inline QStringList Texts(const std::vector<platform::MsgBoxCall>& boxes) {
    QStringList texts;
    for (const platform::MsgBoxCall& call : boxes)
        texts << QString::fromStdString(call.text);
    return texts;
}

// The one box start-up shows when the database cannot be opened.
inline bool IsDatabaseMissingBox(const platform::MsgBoxCall& call) {
    return call.text == "辞典文件丢失！" && call.title == "数据处理" &&
           call.style == platform::vbCritical;
}

} // namespace testsupport
