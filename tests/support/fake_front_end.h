#pragma once
// A front end that records what the program asks of its windows, for tests of the wiring: no
// toolkit and no display. Its event loop runs the presenter's steps, one per pass, each followed
// by the pacing step as the real loop does; a box lets the presenter click the windows behind it.

#include "app/front_end.h"
#include "app/program_windows.h"

#include "support/fake_message_boxes.h"
#include "support/map_settings_fields.h"

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

class FakeMainWindow final : public MainWindowView {
public:
    void setStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void setTrayTooltip(const std::string&) override {}
    bool inTray() const override { return false; }
    WindowPosition position() const override { return at; }

    WindowPosition at;
    std::vector<std::string> statusLines;
};

class FakeSettingsWindow final : public SettingsWindowView {
public:
    std::string text(SettingsField field) const override { return fields.text(field); }
    void setText(SettingsField field, const std::string& text) override
    {
        fields.setText(field, text);
    }
    void focus(SettingsField field) override { fields.focus(field); }
    bool checked(SettingsCheck box) const override { return checks.count(box) && checks.at(box); }
    void setChecked(SettingsCheck box, bool on) override { checks[box] = on; }
    void closeWindow() override { open = false; }
    // A click on the gadget, as the window's description binds it.
    void click(int gadget)
    {
        const GadgetDescription* described = settingsWindowDescription().gadget(gadget);
        ASSERT_NE(described, nullptr) << gadget;
        events(described->action, *this);
    }

    MapSettingsFields fields;
    std::map<SettingsCheck, bool> checks;
    SettingsWindowEvents events;
    bool open = false;
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

    void useScreen(ScreenBounds bounds, const std::string&) override { screen = bounds; }
    MainWindowView& openMainWindow(WindowPosition position, WindowActionHandler given) override
    {
        mainWindow.emplace();
        mainWindow->at = position;
        act = std::move(given);
        return *mainWindow;
    }
    // A click on the main window's gadget or a menu entry with the given text, as the window's
    // description binds them.
    void click(int gadget) { act(mainWindowDescription().gadget(gadget)->action); }
    void choose(const std::string& entryText)
    {
        for (const MenuDescription& menu : mainWindowDescription().menus)
            for (const MenuEntry& entry : menu.entries)
                if (entryText == entry.text)
                    return act(entry.action);
        ADD_FAILURE() << "no menu entry " << entryText;
    }
    void showAboutBox(const std::string& homepage, std::function<void()> openHomepage) override
    {
        aboutHomepage = homepage;
        openHomepage();
    }
    void openWebAddress(const std::string& address) override { addresses.push_back(address); }

    bool settingsWindowOpen() const override { return settingsWindow && settingsWindow->open; }
    void raiseSettingsWindow() override { ++raised; }
    SettingsWindowView& createSettingsWindow(SettingsWindowEvents events,
                                             std::function<void()>) override
    {
        settingsWindow.emplace();
        settingsWindow->events = std::move(events);
        return *settingsWindow;
    }
    void showSettingsWindow() override { settingsWindow->open = true; }

    void openRegionPicker(SettingsFields&, std::function<void()>) override {}
    void startRegionFrame(const std::string& region) override { frames.push_back(region); }
    void stopRegionFrame() override { frames.push_back("stopped"); }
    void showPreview(const PreviewServices& services) override
    {
        services.waitForUpload();
        previews.push_back(services.capture());
    }
    void closePreview() override {}

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
    std::optional<FakeMainWindow> mainWindow;
    std::optional<FakeSettingsWindow> settingsWindow;
    MemoryPositionStore positions;
    ScreenBounds screen;
    std::vector<std::string> frames;
    std::vector<std::string> addresses;
    std::string aboutHomepage;
    std::vector<CaptureResult> previews;
    int raised = 0;
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
