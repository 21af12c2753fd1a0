#include "screen/x11_screen_changes.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <thread>

namespace velmora {
namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr openDisplay(const std::string& name)
{
    return DisplayPtr(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
}

} // namespace

struct X11ScreenChanges::Impl {
    explicit Impl(std::function<void()> onChange) : collector(std::move(onChange)) {}

    ScreenChangeCollector collector;
    // Read by the thread alone once it runs; the stopper only sends the message that ends it.
    DisplayPtr watched;
    DisplayPtr stopper;
    Window root = 0;
    Window wakeWindow = 0; // receives the stop message
    Damage damage = 0;
    XserverRegion parts = 0;
    int damageEventBase = 0;
    int inputOpcode = -1; // XInput 2's major opcode; -1 without it
    std::jthread reader;

    bool open(const std::string& name)
    {
        watched = openDisplay(name);
        stopper = openDisplay(name);
        if (!watched || !stopper)
            return false;
        Display* d = watched.get();
        int damageErrorBase = 0;
        int fixesEventBase = 0;
        int fixesErrorBase = 0;
        if (!XDamageQueryExtension(d, &damageEventBase, &damageErrorBase) ||
            !XFixesQueryExtension(d, &fixesEventBase, &fixesErrorBase))
            return false;
        root = DefaultRootWindow(d);
        XSetWindowAttributes none{};
        wakeWindow = XCreateWindow(d, root, 0, 0, 1, 1, 0, CopyFromParent, InputOnly,
                                   CopyFromParent, 0, &none);
        // Reported once the damage becomes non-empty; taking it empties it again, so a burst of
        // drawing costs one report and one round trip.
        damage = XDamageCreate(d, root, XDamageReportNonEmpty);
        // A new damage object holds the whole screen: that is no change.
        XDamageSubtract(d, damage, None, None);
        parts = XFixesCreateRegion(d, nullptr, 0);
        listenToPointer(d);
        XSync(d, False);
        return true;
    }

    void listenToPointer(Display* d)
    {
        int event = 0;
        int error = 0;
        int opcode = 0;
        if (!XQueryExtension(d, "XInputExtension", &opcode, &event, &error))
            return;
        int major = 2;
        int minor = 0;
        if (XIQueryVersion(d, &major, &minor) != Success)
            return;
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawMotion);
        XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
        XISelectEvents(d, root, &mask, 1);
        inputOpcode = opcode;
    }

    void takeDamage(Display* d)
    {
        XDamageSubtract(d, damage, None, parts);
        int count = 0;
        XRectangle* rectangles = XFixesFetchRegion(d, parts, &count);
        if (!rectangles) {
            collector.addEverything();
            return;
        }
        for (int i = 0; i < count; ++i)
            collector.addRectangle(
                {rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height});
        XFree(rectangles);
    }

    void read()
    {
        Display* d = watched.get();
        for (;;) {
            XEvent event;
            XNextEvent(d, &event);
            if (event.type == ClientMessage && event.xclient.window == wakeWindow)
                return;
            if (event.type == damageEventBase + XDamageNotify)
                takeDamage(d);
            else if (event.type == GenericEvent && event.xcookie.extension == inputOpcode &&
                     event.xcookie.evtype == XI_RawMotion)
                collector.addPointerMove();
        }
    }

    void stop()
    {
        if (!reader.joinable())
            return;
        XEvent message{};
        message.xclient.type = ClientMessage;
        message.xclient.window = wakeWindow;
        message.xclient.format = 32;
        // With no event mask the message goes to the window's creator: the reading connection.
        XSendEvent(stopper.get(), wakeWindow, False, NoEventMask, &message);
        XFlush(stopper.get());
        reader.join();
    }
};

std::unique_ptr<X11ScreenChanges> X11ScreenChanges::start(const std::string& displayName,
                                                          std::function<void()> onChange)
{
    auto impl = std::make_unique<Impl>(std::move(onChange));
    if (!impl->open(displayName))
        return nullptr;
    Impl* reading = impl.get();
    impl->reader = std::jthread([reading] { reading->read(); });
    return std::make_unique<X11ScreenChanges>(std::move(impl));
}

X11ScreenChanges::X11ScreenChanges(std::unique_ptr<Impl> impl) : impl_(std::move(impl))
{
}

// Closing the connections frees the damage, the region and the window on the server.
X11ScreenChanges::~X11ScreenChanges()
{
    impl_->stop();
}

ScreenChanges X11ScreenChanges::take()
{
    return impl_->collector.take();
}

bool X11ScreenChanges::reportsPointer() const
{
    return impl_->inputOpcode >= 0;
}

} // namespace velmora
