#pragma once
// A front end that records what the program asks of its windows, for tests of the wiring: no
// toolkit and no display. Its event loop runs the presenter's steps, one per pass, each followed
// by the pacing step as the real loop does; a box lets the presenter click the windows behind it.

#include "app/front_end.h"
#include "app/program_windows.h"
#include "settings/settings_fields.h"

#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// A described window as the wiring leaves it: its gadgets' values, whether it is shown, and
// where it stands. Clicks reach the wiring as the window's description binds them.
class FakeWindow final : public DescribedWindow {
public:
    // A window in a list of open windows leaves it when it goes.
    FakeWindow(const WindowDescription& description, WindowEvents events,
               std::vector<FakeWindow*>* list = nullptr)
        : description(description), events(std::move(events)), list_(list)
    {
        for (const GadgetDescription& g : description.gadgets)
            texts[g.id] = g.text;
        if (list_)
            list_->push_back(this);
    }
    ~FakeWindow() override
    {
        if (list_)
            std::erase(*list_, this);
    }
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    std::string text(int gadget) const override { return texts.at(gadget); }
    void setText(int gadget, const std::string& text) override { texts[gadget] = text; }
    bool checked(int gadget) const override { return checks.count(gadget) && checks.at(gadget); }
    void setChecked(int gadget, bool on) override { checks[gadget] = on; }
    void focus(int gadget) override { focused.push_back(gadget); }
    void show() override
    {
        ++shows;
        isShown = true;
    }
    void hide() override { isShown = false; }
    bool shown() const override { return isShown; }
    OuterRect frame() const override { return at; }
    void setFrame(const OuterRect& frame) override { at = frame; }

    // A click on the gadget, or its close box.
    void click(int gadget)
    {
        const GadgetDescription* described = description.gadget(gadget);
        ASSERT_NE(described, nullptr) << gadget;
        events.action(described->action);
    }
    void closeBox() { events.action(description.closeBox); }

    const WindowDescription& description;
    WindowEvents events;
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::vector<int> focused;
    OuterRect at;
    bool isShown = false;
    int shows = 0;

private:
    std::vector<FakeWindow*>* list_;
};

class FakeMainWindow final : public MainWindowView {
public:
    FakeMainWindow(WindowPosition position, WindowActionHandler act)
        : window_(mainWindowDescription(), {std::move(act), {}})
    {
        window_.at = {position.x, position.y, position.x + 160, position.y + 100};
        window_.isShown = true;
    }
    void setStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void setTrayTooltip(const std::string&) override {}
    bool inTray() const override { return false; }
    FakeWindow& window() override { return window_; }
    void minimiseToTray() override { window_.hide(); }

    std::vector<std::string> statusLines;

private:
    FakeWindow window_;
};

class NoOwnWindows final : public OwnWindows {
public:
    std::vector<ScreenRectangle> onScreen() const override { return {}; }
};

// The caption's box without text: what a front end without fonts would draw.
class BoxOnlyCaption final : public CaptionRenderer {
public:
    CaptionBox draw(RgbPicture&, const std::string&) override { return {}; }
};

class MemoryPositionStore final : public PositionStore {
public:
    StoredPosition read() const override { return stored; }
    void save(const std::string& installDir, int x, int y) override
    {
        savedInstallDir = installDir;
        saved = WindowPosition{x, y};
    }
    StoredPosition stored;
    std::string savedInstallDir;
    std::optional<WindowPosition> saved;
};

// Records what the program asks of its windows; the event loop runs the presenter's steps, one
// per pass, each followed by the pacing step as the real loop does.
class FakeFrontEnd final : public FrontEnd {
public:
    using Step = std::function<void(FakeFrontEnd&)>;

    MessageBoxes& boxes() override { return clickingBoxes_; }
    void serveQueuedBoxes() override {}
    const OwnWindows& ownWindows() const override { return own_; }
    CaptionRenderer& captionRenderer() override { return caption_; }
    PositionStore& positionStore() override { return positions; }

    void useScreen(ScreenBounds bounds) override { screen = bounds; }
    MainWindowView& openMainWindow(WindowPosition position, WindowActionHandler given) override
    {
        mainWindow.emplace(position, given);
        act = std::move(given);
        return *mainWindow;
    }
    std::unique_ptr<DescribedWindow> openWindow(const WindowDescription& description,
                                                WindowEvents events, DescribedWindow*,
                                                WindowPlace place, int clientWidth,
                                                int clientHeight) override
    {
        auto window = std::make_unique<FakeWindow>(description, std::move(events), &windows);
        window->at = {place.x, place.y, place.x + clientWidth, place.y + clientHeight};
        return window;
    }
    void openWebAddress(const std::string& address) override { addresses.push_back(address); }

    void startRegionFrame(const std::string& region) override { frames.push_back(region); }
    void stopRegionFrame() override { frames.push_back("stopped"); }

    void waitWhileRepainting(int milliseconds) override { settles.push_back(milliseconds); }

    // A click on the main window's gadget or a menu entry with the given text, as the window's
    // description binds them.
    void click(int gadget) { mainWindow->window().click(gadget); }
    void choose(const std::string& entryText)
    {
        for (const MenuDescription& menu : mainWindowDescription().menus)
            for (const MenuEntry& entry : menu.entries)
                if (entryText == entry.text)
                    return act(entry.action);
        ADD_FAILURE() << "no menu entry " << entryText;
    }
    void runWhileRepainting(const std::function<void()>& work) override
    {
        ++repaintingRuns;
        std::thread(work).join();
    }
    void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace) override
    {
        pace_ = pace;
        while (!quit) {
            if (steps.empty())
                act(mainWindowDescription().closeBox);
            else {
                const Step step = std::move(steps.front());
                steps.pop_front();
                step(*this);
            }
            runPosted();
            if (!quit)
                pace();
        }
    }
    void runOnGuiThread(std::function<void()> work) override
    {
        ++wakes;
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(work));
    }

    // Passes of the loop until done holds, for at most 20 seconds of real time.
    bool paceUntil(const std::function<bool()>& done)
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > giveUp)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            runPosted();
            pace_();
        }
        return true;
    }
    std::vector<ShownBox> shownBoxes() const { return boxes_.shown(); }

    std::deque<Step> steps;
    Step whileBoxShown;
    WindowActionHandler act;
    // The newest window kept with the given title, shown or not; null when there is none.
    FakeWindow* newest(const char* title) const
    {
        for (auto window = windows.rbegin(); window != windows.rend(); ++window)
            if (std::string((*window)->description.title) == title)
                return *window;
        return nullptr;
    }
    FakeWindow* settingsWindow() const { return newest(settingsWindowDescription().title); }

    std::optional<FakeMainWindow> mainWindow;
    // The windows the wiring keeps, in the order they were opened.
    std::vector<FakeWindow*> windows;
    std::vector<int> settles;
    MemoryPositionStore positions;
    ScreenBounds screen;
    std::vector<std::string> frames;
    std::vector<std::string> addresses;
    std::atomic<int> wakes{0};
    // Works run away from the GUI thread, which would keep painting meanwhile.
    int repaintingRuns = 0;

private:
    // What other threads asked the GUI thread to run, run at the start of a pass.
    void runPosted()
    {
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(postedMutex_);
            work.swap(posted_);
        }
        for (const auto& one : work)
            one();
    }

    // A box lets the presenter click the windows behind it: whileBoxShown does what they do.
    class ClickingBoxes final : public MessageBoxes {
    public:
        explicit ClickingBoxes(FakeFrontEnd& ui) : ui_(ui) {}
        BoxAnswer show(const std::string& title, const std::string& text, BoxButtons buttons,
                       BoxModality modality) override
        {
            if (ui_.whileBoxShown)
                ui_.whileBoxShown(ui_);
            return ui_.boxes_.show(title, text, buttons, modality);
        }

    private:
        FakeFrontEnd& ui_;
    };

    FakeMessageBoxes boxes_;
    ClickingBoxes clickingBoxes_{*this};
    NoOwnWindows own_;
    std::mutex postedMutex_;
    std::vector<std::function<void()>> posted_;
    BoxOnlyCaption caption_;
    std::function<void()> pace_;
};

} // namespace velmora::test
