#pragma once
// Records every message box the logic raises and answers questions from a script.

#include "core/message_boxes.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::test {

struct ShownBox {
    std::string title;
    std::string text;
    BoxButtons buttons;
    BoxModality modality;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    BoxAnswer show(const std::string& title, const std::string& text, BoxButtons buttons,
                   BoxModality modality) override
    {
        std::lock_guard lock(mutex_);
        shown_.push_back({title, text, buttons, modality});
        if (buttons == BoxButtons::Ok)
            return BoxAnswer::Ok;
        if (answers_.empty())
            return BoxAnswer::No;
        const BoxAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    void answerNext(BoxAnswer answer)
    {
        std::lock_guard lock(mutex_);
        answers_.push_back(answer);
    }
    std::vector<ShownBox> shown() const
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        shown_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<ShownBox> shown_;
    std::deque<BoxAnswer> answers_;
};

} // namespace velmora::test
