#pragma once
// The presenter's input while the GUI thread waits for work: held back, and handed to its
// windows in order once the work has ended, as if given then. Qt's own holding back
// (ExcludeUserInputEvents) leaves the input in the window system's queue, where the event loop of
// the next message box takes it and drops whatever is meant for the windows the box blocks: an
// Exit clicked during Clear would be lost to an error box that Clear showed afterwards. Input for
// a modal window opened meanwhile (a box the work asked for) passes at once.
//
// A key that would trigger a shortcut meanwhile reaches its window as a plain key.

#include <QObject>
#include <QPointer>
#include <QWindow>

#include <functional>
#include <vector>

class QEvent;

namespace velmora {

// GUI thread. Holds from its making; when it goes, the input follows in order once the GUI
// thread is back in its event loop.
class HeldInput final : public QObject {
public:
    HeldInput();
    ~HeldInput() override;
    HeldInput(const HeldInput&) = delete;
    HeldInput& operator=(const HeldInput&) = delete;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::function<QEvent*()> make; // the event again, new
    };
    std::vector<Held> held_;
    // The modal window there was before the hold: its input waits as well.
    QPointer<QWindow> modalBefore_;
};

} // namespace velmora
