#pragma once
// The screen of an X11 display: the root window read through the MIT-SHM extension into a
// shared segment kept between captures, or with plain XGetImage where shared memory cannot be
// used (a remote display).

#include "screen/screen_source.h"

#include <memory>
#include <string>

namespace velmora {

enum class X11Transfer { NoCopy, SharedMemory, Plain };

class X11ScreenSource final : public ScreenSource {
public:
    // An empty display name means $DISPLAY. The screen bounds are measured here, once.
    explicit X11ScreenSource(const std::string& displayName = {}, bool allowSharedMemory = true);
    ~X11ScreenSource() override;
    X11ScreenSource(const X11ScreenSource&) = delete;
    X11ScreenSource& operator=(const X11ScreenSource&) = delete;

    bool connected() const;
    // How the last copy was made (NoCopy before the first one, or when the display is gone).
    X11Transfer transfer() const;

    ScreenBounds bounds() const override;
    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                 std::size_t stride) override;
    std::optional<PointerPosition> pointerPosition() override;
    // The server's DAMAGE and pointer reports, on a connection of their own.
    std::unique_ptr<ScreenChangeWatch> watchChanges(std::function<void()> onChange) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora
