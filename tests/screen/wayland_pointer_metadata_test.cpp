// The pointer beside the frames, as GNOME and KDE Plasma send it: a real PipeWire with its
// session manager, a screen of one colour published as a video source that carries the
// pointer's place in each buffer's cursor metadata, and the capture's stream reading both.

#include "png/rgb_picture.h"
#include "screen/pipewire_stream.h"
#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr std::uint8_t kRed = 0x20, kGreen = 0x90, kBlue = 0xE0;
constexpr std::size_t kCursorMeta = sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap) + 16 * 16 * 4;

template <typename Condition> bool within(std::chrono::milliseconds limit, Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// PipeWire and WirePlumber (which links streams) in a runtime folder of their own, in one
// process group that goes with the object.
class PrivatePipeWire {
public:
    PrivatePipeWire()
    {
        const std::map<std::string, std::string> env{{"XDG_RUNTIME_DIR", folder_.path()},
                                                     {"DBUS_SESSION_BUS_ADDRESS", ""},
                                                     {"PIPEWIRE_REMOTE", ""}};
        ::setenv("XDG_RUNTIME_DIR", folder_.path().c_str(), 1);
        ::unsetenv("PIPEWIRE_REMOTE");
        LaunchSetup group;
        group.ownProcessGroup = true;
        daemon_ = std::make_unique<test::LaunchedProgram>(std::vector<std::string>{"pipewire"}, env,
                                                          folder_.file("pipewire.log"), group);
        ready_ = within(10s, [this] { return std::filesystem::exists(socket()); });
        if (ready_)
            manager_ = std::make_unique<test::LaunchedProgram>(
                // WirePlumber wants a session bus; a private one keeps it from the caller's.
                std::vector<std::string>{"dbus-run-session", "--", "wireplumber"}, env,
                folder_.file("wireplumber.log"), group);
    }
    bool ready() const { return ready_; }
    std::string socket() const { return folder_.file("pipewire-0"); }

    // A connection of its own, as the portal hands one over.
    int connect() const
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket().c_str(), sizeof(address.sun_path) - 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

private:
    using LaunchSetup = test::LaunchSetup;
    test::TemporaryFolder folder_;
    std::unique_ptr<test::LaunchedProgram> daemon_;
    std::unique_ptr<test::LaunchedProgram> manager_;
    bool ready_ = false;
};

// A screen of one colour as a desktop publishes it: BGRx frames in shared memory, thirty a
// second, with the pointer's place in the cursor metadata of each.
class PublishedScreen {
public:
    PublishedScreen()
    {
        pw_init(nullptr, nullptr);
        loop_ = pw_thread_loop_new("test-screen", nullptr);
        context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
        pw_thread_loop_start(loop_);
        pw_thread_loop_lock(loop_);
        core_ = pw_context_connect(context_, nullptr, 0);
        if (core_ != nullptr) {
            stream_ = pw_stream_new(core_, "test-screen",
                                    pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source",
                                                      PW_KEY_MEDIA_TYPE, "Video", nullptr));
            static const pw_stream_events events = [] {
                pw_stream_events e{};
                e.version = PW_VERSION_STREAM_EVENTS;
                e.param_changed = onParamChanged;
                e.process = onProcess;
                return e;
            }();
            pw_stream_add_listener(stream_, &listener_, &events, this);
            std::uint8_t room[1024];
            spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
            spa_rectangle size{kWidth, kHeight};
            spa_fraction rate{30, 1};
            const spa_pod* format = static_cast<const spa_pod*>(spa_pod_builder_add_object(
                &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
                SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
                SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
                SPA_POD_Id(SPA_VIDEO_FORMAT_BGRx), SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size),
                SPA_FORMAT_VIDEO_framerate, SPA_POD_Fraction(&rate)));
            pw_stream_connect(
                stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                static_cast<pw_stream_flags>(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS),
                &format, 1);
            timer_ = pw_loop_add_timer(pw_thread_loop_get_loop(loop_), onTimer, this);
            timespec first{0, 1}, every{0, 33'000'000};
            pw_loop_update_timer(pw_thread_loop_get_loop(loop_), timer_, &first, &every, false);
        }
        pw_thread_loop_unlock(loop_);
    }
    ~PublishedScreen()
    {
        pw_thread_loop_lock(loop_);
        if (timer_ != nullptr)
            pw_loop_destroy_source(pw_thread_loop_get_loop(loop_), timer_);
        if (stream_ != nullptr) {
            spa_hook_remove(&listener_);
            pw_stream_destroy(stream_);
        }
        if (core_ != nullptr)
            pw_core_disconnect(core_);
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
        pw_context_destroy(context_);
        pw_thread_loop_destroy(loop_);
    }

    std::uint32_t node()
    {
        pw_thread_loop_lock(loop_);
        const std::uint32_t id =
            stream_ != nullptr ? pw_stream_get_node_id(stream_) : SPA_ID_INVALID;
        pw_thread_loop_unlock(loop_);
        return id;
    }

    std::atomic<std::uint8_t> green{kGreen};
    std::atomic<std::int32_t> pointerX{10};
    std::atomic<std::int32_t> pointerY{20};
    // 0: the pointer did not change (desktops send that when it stands still).
    std::atomic<std::uint32_t> cursorId{1};
    std::atomic<int> cursorMetasSent{0};

private:
    static void onParamChanged(void* data, std::uint32_t id, const spa_pod* param)
    {
        auto* self = static_cast<PublishedScreen*>(data);
        if (id != SPA_PARAM_Format || param == nullptr)
            return;
        std::uint8_t room[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
        const spa_pod* params[3];
        params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
            SPA_POD_CHOICE_RANGE_Int(4, 2, 8), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
            SPA_PARAM_BUFFERS_size, SPA_POD_Int(kWidth * kHeight * 4), SPA_PARAM_BUFFERS_stride,
            SPA_POD_Int(kWidth * 4), SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))));
        params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
            SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size,
            SPA_POD_Int(static_cast<int>(sizeof(spa_meta_header)))));
        params[2] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
            SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
            SPA_POD_Int(static_cast<int>(kCursorMeta))));
        pw_stream_update_params(self->stream_, params, 3);
    }

    static void onTimer(void* data, std::uint64_t)
    {
        auto* self = static_cast<PublishedScreen*>(data);
        pw_stream_trigger_process(self->stream_);
    }

    static void onProcess(void* data)
    {
        auto* self = static_cast<PublishedScreen*>(data);
        pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_);
        if (buffer == nullptr)
            return;
        spa_buffer* b = buffer->buffer;
        spa_data& plane = b->datas[0];
        if (plane.data != nullptr) {
            auto* bytes = static_cast<std::uint8_t*>(plane.data);
            for (int i = 0; i < kWidth * kHeight; ++i) {
                bytes[i * 4 + 0] = kBlue;
                bytes[i * 4 + 1] = self->green;
                bytes[i * 4 + 2] = kRed;
                bytes[i * 4 + 3] = 0;
            }
            plane.chunk->offset = 0;
            plane.chunk->stride = kWidth * 4;
            plane.chunk->size = kWidth * kHeight * 4;
        }
        if (auto* cursor = static_cast<spa_meta_cursor*>(
                spa_buffer_find_meta_data(b, SPA_META_Cursor, sizeof(spa_meta_cursor)))) {
            cursor->id = self->cursorId;
            cursor->flags = 0;
            cursor->position.x = self->pointerX;
            cursor->position.y = self->pointerY;
            cursor->hotspot.x = 0;
            cursor->hotspot.y = 0;
            cursor->bitmap_offset = 0;
            ++self->cursorMetasSent;
        }
        pw_stream_queue_buffer(self->stream_, buffer);
    }

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_source* timer_ = nullptr;
    spa_hook listener_{};
};

TEST(WaylandPointerMetadata, PointerBesideTheFramesIsReadAndFollowed)
{
    PrivatePipeWire pipewire;
    ASSERT_TRUE(pipewire.ready()) << "PipeWire did not start";
    PublishedScreen screen;
    std::uint32_t node = SPA_ID_INVALID;
    ASSERT_TRUE(within(10s, [&] { return (node = screen.node()) != SPA_ID_INVALID; }));

    PipeWireStream stream(pipewire.connect(), node, true);
    ASSERT_TRUE(stream.waitForFirstFrame(10s)) << stream.failure();
    EXPECT_EQ(stream.frameSize(), std::make_pair(kWidth, kHeight));
    RgbPicture picture(kWidth, kHeight);
    ASSERT_TRUE(stream.copyRgb(0, 0, kWidth, kHeight, picture.data(), picture.stride()));
    const std::uint8_t* pixel = picture.data() + 30 * picture.stride() + 40 * 3;
    EXPECT_EQ(pixel[0], kRed);
    EXPECT_EQ(pixel[1], kGreen);
    EXPECT_EQ(pixel[2], kBlue);

    ASSERT_TRUE(within(10s, [&] { return stream.pointer().has_value(); }))
        << "no cursor metadata came (sent " << screen.cursorMetasSent << ")";
    EXPECT_EQ(stream.pointer()->x, 10);
    EXPECT_EQ(stream.pointer()->y, 20);

    // The source sends frames at a steady rate: the same picture again is no change.
    std::atomic<int> pictures{0};
    std::atomic<int> moves{0};
    stream.setChangeListener([&](bool picture, bool pointerMoved) {
        pictures += picture ? 1 : 0;
        moves += pointerMoved ? 1 : 0;
    });
    // Buffers already on their way when the listener came may still be told; from a few
    // buffers on, the stream is steady.
    const auto sendsMore = [&](int count) {
        const int sent = screen.cursorMetasSent;
        return within(10s, [&] { return screen.cursorMetasSent > sent + count; });
    };
    ASSERT_TRUE(sendsMore(3));
    pictures = 0;
    moves = 0;
    ASSERT_TRUE(sendsMore(5));
    EXPECT_EQ(pictures, 0);
    EXPECT_EQ(moves, 0);

    // The pointer moves: the place follows, and the move is told.
    screen.pointerX = 33;
    screen.pointerY = 7;
    ASSERT_TRUE(within(10s, [&] { return stream.pointer() && stream.pointer()->x == 33; }));
    EXPECT_EQ(stream.pointer()->y, 7);
    EXPECT_GE(moves, 1);
    EXPECT_EQ(pictures, 0);
    screen.green = kGreen + 1;
    ASSERT_TRUE(within(10s, [&] { return pictures > 0; })) << "a new picture is told";
    stream.setChangeListener({});

    // "Unchanged" reports keep the last place, whatever their position fields say.
    screen.cursorId = 0;
    screen.pointerX = 0;
    screen.pointerY = 0;
    const int sent = screen.cursorMetasSent;
    ASSERT_TRUE(within(10s, [&] { return screen.cursorMetasSent > sent + 5; }));
    EXPECT_EQ(stream.pointer()->x, 33);
    EXPECT_EQ(stream.pointer()->y, 7);
    EXPECT_FALSE(stream.ended());
}

TEST(WaylandPointerMetadata, PointerInsideTheFramesIsNeverReported)
{
    PrivatePipeWire pipewire;
    ASSERT_TRUE(pipewire.ready()) << "PipeWire did not start";
    PublishedScreen screen;
    std::uint32_t node = SPA_ID_INVALID;
    ASSERT_TRUE(within(10s, [&] { return (node = screen.node()) != SPA_ID_INVALID; }));

    PipeWireStream stream(pipewire.connect(), node, false);
    ASSERT_TRUE(stream.waitForFirstFrame(10s)) << stream.failure();
    const int sent = screen.cursorMetasSent;
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(stream.pointer().has_value());
    // Nothing asked for it, so the desktop had no room to send it in.
    EXPECT_EQ(screen.cursorMetasSent, sent);
}

} // namespace
} // namespace velmora
