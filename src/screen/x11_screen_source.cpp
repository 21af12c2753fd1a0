#include "screen/x11_screen_source.h"

#include "screen/posix_shared_memory.h"
#include "screen/x11_screen_changes.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <bit>
#include <memory>

namespace velmora {
namespace {

// Xlib reports protocol errors through one process-wide handler, whose default ends the
// program. While a trap is set, errors are counted instead, so a refused shared segment or a
// failed read becomes a result. Only the GUI thread sets traps.
int trappedErrors = 0;

int countError(Display*, XErrorEvent*)
{
    ++trappedErrors;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display)
    {
        XSync(display_, False);
        trappedErrors = 0;
        previous_ = XSetErrorHandler(countError);
    }
    ~ErrorTrap()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed()
    {
        XSync(display_, False);
        return trappedErrors != 0;
    }

private:
    Display* display_;
    XErrorHandler previous_;
};

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// XShm images come with a destroy function that frees only the header, not the shared data.
struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImagePtr = std::unique_ptr<XImage, ImageDestroyer>;

// A shared memory segment the X server writes the screen into. It is marked for removal as soon
// as the server has attached it, so it cannot outlive the program even after a crash.
class SharedSegment {
public:
    SharedSegment(Display* display, std::size_t size) : display_(display), memory_(size)
    {
        if (!memory_.address())
            return;
        info_.shmid = memory_.id();
        info_.shmaddr = memory_.address();
        info_.readOnly = False;
        {
            ErrorTrap trap(display_);
            attached_ = XShmAttach(display_, &info_) && !trap.failed();
        }
        memory_.markForRemoval();
        size_ = size;
    }
    ~SharedSegment()
    {
        if (attached_) {
            XShmDetach(display_, &info_);
            XSync(display_, False);
        }
    }
    SharedSegment(const SharedSegment&) = delete;
    SharedSegment& operator=(const SharedSegment&) = delete;

    bool usable() const { return attached_; }
    XShmSegmentInfo* info() { return &info_; }
    std::size_t size() const { return size_; }

private:
    Display* display_;
    SharedMemory memory_;
    XShmSegmentInfo info_{};
    bool attached_ = false;
    std::size_t size_ = 0;
};

struct Channel {
    unsigned long mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(unsigned long m)
        : mask(m), shift(m ? std::countr_zero(m) : 0), bits(std::popcount(m))
    {
    }
    std::uint8_t value(unsigned long pixel) const
    {
        const unsigned long v = (pixel & mask) >> shift;
        if (bits >= 8)
            return static_cast<std::uint8_t>(v >> (bits - 8));
        if (bits == 0)
            return 0;
        return static_cast<std::uint8_t>(v * 255 / ((1ul << bits) - 1));
    }
};

// X images of a 24-bit screen hold four bytes per pixel; the picture takes red, green, blue.
void toRgb(XImage* image, const Visual* visual, std::uint8_t* rgb, std::size_t stride)
{
    const int width = image->width;
    const int height = image->height;
    const bool common = image->bits_per_pixel == 32 && visual->red_mask == 0xff0000 &&
                        visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
    if (common) {
        const bool lsbFirst = image->byte_order == LSBFirst;
        const int r = lsbFirst ? 2 : 1, g = lsbFirst ? 1 : 2, b = lsbFirst ? 0 : 3;
        for (int y = 0; y < height; ++y) {
            const auto* src = reinterpret_cast<const std::uint8_t*>(image->data) +
                              static_cast<std::size_t>(image->bytes_per_line) * y;
            std::uint8_t* dst = rgb + stride * static_cast<std::size_t>(y);
            for (int x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[r];
                dst[1] = src[g];
                dst[2] = src[b];
            }
        }
        return;
    }
    const Channel red(visual->red_mask), green(visual->green_mask), blue(visual->blue_mask);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* dst = rgb + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x, dst += 3) {
            const unsigned long pixel = XGetPixel(image, x, y);
            dst[0] = red.value(pixel);
            dst[1] = green.value(pixel);
            dst[2] = blue.value(pixel);
        }
    }
}

} // namespace

struct X11ScreenSource::Impl {
    std::string displayName;
    // Declared first, so it closes last.
    std::unique_ptr<Display, DisplayCloser> display;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    ScreenBounds bounds;
    X11Transfer lastTransfer = X11Transfer::NoCopy;

    std::unique_ptr<SharedSegment> segment;
    ImagePtr sharedImage; // header over the segment for the last rectangle size

    bool copyShared(int x, int y, int width, int height, std::uint8_t* rgb, std::size_t stride)
    {
        if (!segment || !segment->usable())
            return false;
        Display* d = display.get();
        if (!sharedImage || sharedImage->width != width || sharedImage->height != height) {
            sharedImage.reset(XShmCreateImage(
                d, visual, static_cast<unsigned>(depth), ZPixmap, segment->info()->shmaddr,
                segment->info(), static_cast<unsigned>(width), static_cast<unsigned>(height)));
            if (!sharedImage)
                return false;
            if (static_cast<std::size_t>(sharedImage->bytes_per_line) *
                    static_cast<std::size_t>(height) >
                segment->size()) {
                sharedImage.reset();
                return false;
            }
        }
        ErrorTrap trap(d);
        if (!XShmGetImage(d, root, sharedImage.get(), x, y, AllPlanes) || trap.failed())
            return false;
        toRgb(sharedImage.get(), visual, rgb, stride);
        return true;
    }

    bool copyPlain(int x, int y, int width, int height, std::uint8_t* rgb, std::size_t stride)
    {
        ErrorTrap trap(display.get());
        ImagePtr image(XGetImage(display.get(), root, x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), AllPlanes, ZPixmap));
        if (!image || trap.failed())
            return false;
        toRgb(image.get(), visual, rgb, stride);
        return true;
    }
};

X11ScreenSource::X11ScreenSource(const std::string& displayName, bool allowSharedMemory)
    : impl_(std::make_unique<Impl>())
{
    impl_->displayName = displayName;
    impl_->display.reset(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()));
    Display* d = impl_->display.get();
    if (!d)
        return;
    const int screen = DefaultScreen(d);
    impl_->root = RootWindow(d, screen);
    impl_->visual = DefaultVisual(d, screen);
    impl_->depth = DefaultDepth(d, screen);
    impl_->bounds.right = DisplayWidth(d, screen);
    impl_->bounds.bottom = DisplayHeight(d, screen);

    if (!allowSharedMemory || !XShmQueryExtension(d))
        return;
    // One segment large enough for the whole screen serves every rectangle inside it.
    XShmSegmentInfo probeInfo{};
    ImagePtr probe(XShmCreateImage(d, impl_->visual, static_cast<unsigned>(impl_->depth), ZPixmap,
                                   nullptr, &probeInfo, static_cast<unsigned>(impl_->bounds.right),
                                   static_cast<unsigned>(impl_->bounds.bottom)));
    if (!probe)
        return;
    const std::size_t size =
        static_cast<std::size_t>(probe->bytes_per_line) * static_cast<std::size_t>(probe->height);
    probe.reset();
    impl_->segment = std::make_unique<SharedSegment>(d, size);
}

X11ScreenSource::~X11ScreenSource() = default;

bool X11ScreenSource::connected() const
{
    return impl_->display != nullptr;
}

X11Transfer X11ScreenSource::transfer() const
{
    return impl_->lastTransfer;
}

std::unique_ptr<ScreenChangeWatch> X11ScreenSource::watchChanges(std::function<void()> onChange)
{
    if (!impl_->display)
        return nullptr;
    return X11ScreenChanges::start(impl_->displayName, std::move(onChange));
}

ScreenBounds X11ScreenSource::bounds() const
{
    return impl_->bounds;
}

bool X11ScreenSource::copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                              std::size_t stride)
{
    impl_->lastTransfer = X11Transfer::NoCopy;
    if (!impl_->display || width <= 0 || height <= 0)
        return false;
    if (impl_->copyShared(x, y, width, height, rgb, stride)) {
        impl_->lastTransfer = X11Transfer::SharedMemory;
        return true;
    }
    if (impl_->copyPlain(x, y, width, height, rgb, stride)) {
        impl_->lastTransfer = X11Transfer::Plain;
        return true;
    }
    return false;
}

std::optional<PointerPosition> X11ScreenSource::pointerPosition()
{
    if (!impl_->display)
        return std::nullopt;
    Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    // The position relative to the root holds even when the pointer is on another screen.
    XQueryPointer(impl_->display.get(), impl_->root, &rootReturn, &child, &rootX, &rootY, &windowX,
                  &windowY, &buttons);
    if (rootReturn == 0)
        return std::nullopt;
    return PointerPosition{rootX, rootY};
}

} // namespace velmora
