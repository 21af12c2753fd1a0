#include "screen/pipewire_stream.h"

#include "screen/pipewire_format.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>

namespace velmora {
namespace {

// Keeps PipeWire's global state for as long as any stream lives.
void initialisePipeWire()
{
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

} // namespace

struct PipeWireStream::Impl {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    pw_registry* registry = nullptr;
    spa_hook coreListener{};
    spa_hook streamListener{};
    spa_hook registryListener{};
    std::uint32_t node = 0;
    bool cursorAsMetadata = false;

    // Written on PipeWire's thread only; read under the lock.
    mutable std::mutex lock;
    std::condition_variable changed;
    VideoFrame newest;
    std::string failure;
    // Negotiated format, PipeWire's thread only.
    spa_video_info_raw format{};
    std::optional<PixelOrder> order;

    std::atomic<bool> haveFrame{false};
    // Told of each buffer that brought a picture or moved the pointer, on PipeWire's thread.
    std::mutex listenerLock;
    std::function<void(bool picture, bool pointerMoved)> listener;
    std::atomic<bool> ended{false};
    std::atomic<bool> havePointer{false};
    std::atomic<std::int32_t> pointerX{0};
    std::atomic<std::int32_t> pointerY{0};

    void end(const std::string& why)
    {
        {
            const std::lock_guard<std::mutex> guard(lock);
            if (failure.empty())
                failure = why;
            ended = true;
        }
        changed.notify_all();
    }

    void formatChanged(const spa_pod* param)
    {
        std::uint32_t mediaType = 0;
        std::uint32_t mediaSubtype = 0;
        if (param == nullptr || spa_format_parse(param, &mediaType, &mediaSubtype) < 0 ||
            mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw)
            return;
        if (spa_format_video_raw_parse(param, &format) < 0)
            return;
        order = pixelOrderOf(format.format);

        std::uint8_t room[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
        const spa_pod* params[kBufferParamsMost];
        const std::uint32_t count = bufferParams(builder, cursorAsMetadata, params);
        pw_stream_update_params(stream, params, count);
    }

    // True when the pointer is somewhere else now.
    bool takePointer(spa_buffer* buffer)
    {
        const auto* cursor = static_cast<const spa_meta_cursor*>(
            spa_buffer_find_meta_data(buffer, SPA_META_Cursor, sizeof(spa_meta_cursor)));
        // An id of 0 means "unchanged": the last known place still holds.
        if (cursor == nullptr || !spa_meta_cursor_is_valid(cursor))
            return false;
        const bool moved =
            !havePointer || pointerX != cursor->position.x || pointerY != cursor->position.y;
        pointerX = cursor->position.x;
        pointerY = cursor->position.y;
        havePointer = true;
        return moved;
    }

    // True when the buffer brought a picture.
    bool takeFrame(spa_buffer* buffer)
    {
        const auto* header = static_cast<const spa_meta_header*>(
            spa_buffer_find_meta_data(buffer, SPA_META_Header, sizeof(spa_meta_header)));
        if (header != nullptr && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED) != 0)
            return false;
        if (buffer->n_datas < 1 || !order)
            return false;
        const spa_data& data = buffer->datas[0];
        // A buffer that only moves the pointer carries no picture.
        if (data.data == nullptr || data.chunk == nullptr || data.chunk->size == 0)
            return false;
        const int width = static_cast<int>(format.size.width);
        const int height = static_cast<int>(format.size.height);
        const std::size_t stride = data.chunk->stride > 0
                                       ? static_cast<std::size_t>(data.chunk->stride)
                                       : static_cast<std::size_t>(width) * 4;
        const std::size_t offset = data.chunk->offset % std::max<std::uint32_t>(data.maxsize, 1);
        const std::size_t bytes = stride * static_cast<std::size_t>(height);
        if (width <= 0 || height <= 0 || offset + bytes > data.maxsize)
            return false;
        const auto* from = static_cast<const std::uint8_t*>(data.data) + offset;
        {
            const std::lock_guard<std::mutex> guard(lock);
            // Some desktops send frames at a steady rate whether or not anything changed: only
            // a frame that differs is news.
            if (haveFrame && newest.width == width && newest.height == height &&
                newest.stride == stride && newest.order == *order && newest.bytes.size() == bytes &&
                std::memcmp(newest.bytes.data(), from, bytes) == 0)
                return false;
            newest.width = width;
            newest.height = height;
            newest.stride = stride;
            newest.order = *order;
            newest.bytes.assign(from, from + bytes);
            haveFrame = true;
        }
        changed.notify_all();
        return true;
    }

    void process()
    {
        // Everything queued up is older than the last one: only that one is read.
        bool moved = false;
        pw_buffer* last = nullptr;
        while (pw_buffer* next = pw_stream_dequeue_buffer(stream)) {
            if (last != nullptr) {
                if (cursorAsMetadata)
                    moved = takePointer(last->buffer) || moved;
                pw_stream_queue_buffer(stream, last);
            }
            last = next;
        }
        if (last == nullptr)
            return;
        if (cursorAsMetadata)
            moved = takePointer(last->buffer) || moved;
        const bool picture = takeFrame(last->buffer);
        pw_stream_queue_buffer(stream, last);
        if (picture || moved) {
            const std::lock_guard<std::mutex> guard(listenerLock);
            if (listener)
                listener(picture, moved);
        }
    }

    static void onStateChanged(void* data, pw_stream_state, pw_stream_state state,
                               const char* error)
    {
        auto* impl = static_cast<Impl*>(data);
        if (state == PW_STREAM_STATE_ERROR)
            impl->end(std::string("PipeWire stream error: ") + (error ? error : "unknown"));
        else if (state == PW_STREAM_STATE_UNCONNECTED)
            impl->end("PipeWire ended the stream");
    }

    static void onParamChanged(void* data, std::uint32_t id, const spa_pod* param)
    {
        if (id == SPA_PARAM_Format)
            static_cast<Impl*>(data)->formatChanged(param);
    }

    static void onProcess(void* data) { static_cast<Impl*>(data)->process(); }

    static void onCoreError(void* data, std::uint32_t id, int, int result, const char* message)
    {
        // Only the loss of the connection itself ends everything; other errors belong to objects
        // that report them through their own events.
        if (id == PW_ID_CORE && result == -EPIPE)
            static_cast<Impl*>(data)->end(std::string("PipeWire connection lost: ") +
                                          (message ? message : ""));
    }

    // The desktop's node goes when the sharing ends (the presenter stopped it, the portal
    // went): the stream itself only pauses then and would wait for frames for ever.
    static void onGlobalRemoved(void* data, std::uint32_t id)
    {
        auto* impl = static_cast<Impl*>(data);
        if (id == impl->node)
            impl->end("the desktop ended the screen sharing");
    }

    static pw_registry_events registryEvents()
    {
        pw_registry_events events{};
        events.version = PW_VERSION_REGISTRY_EVENTS;
        events.global_remove = onGlobalRemoved;
        return events;
    }

    static pw_stream_events streamEvents()
    {
        pw_stream_events events{};
        events.version = PW_VERSION_STREAM_EVENTS;
        events.state_changed = onStateChanged;
        events.param_changed = onParamChanged;
        events.process = onProcess;
        return events;
    }

    static pw_core_events coreEvents()
    {
        pw_core_events events{};
        events.version = PW_VERSION_CORE_EVENTS;
        events.error = onCoreError;
        return events;
    }
};

PipeWireStream::PipeWireStream(int connection, std::uint32_t node, bool cursorAsMetadata)
    : impl_(std::make_unique<Impl>())
{
    initialisePipeWire();
    Impl& d = *impl_;
    d.cursorAsMetadata = cursorAsMetadata;
    d.node = node;
    d.loop = pw_thread_loop_new("velmora-capture", nullptr);
    if (d.loop == nullptr) {
        d.end("PipeWire loop not created");
        return;
    }
    d.context = pw_context_new(pw_thread_loop_get_loop(d.loop), nullptr, 0);
    if (d.context == nullptr || pw_thread_loop_start(d.loop) < 0) {
        d.end("PipeWire context not created");
        return;
    }

    pw_thread_loop_lock(d.loop);
    // From here the connection belongs to PipeWire, which closes it, even when connecting fails.
    d.core = pw_context_connect_fd(d.context, connection, nullptr, 0);
    connection = -1;
    if (d.core == nullptr) {
        pw_thread_loop_unlock(d.loop);
        d.end("cannot connect to PipeWire");
        return;
    }
    static const pw_core_events coreEvents = Impl::coreEvents();
    pw_core_add_listener(d.core, &d.coreListener, &coreEvents, &d);
    d.registry = pw_core_get_registry(d.core, PW_VERSION_REGISTRY, 0);
    if (d.registry != nullptr) {
        static const pw_registry_events registryEvents = Impl::registryEvents();
        pw_registry_add_listener(d.registry, &d.registryListener, &registryEvents, &d);
    }
    d.stream = pw_stream_new(d.core, "Velmora",
                             pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                               "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    if (d.stream == nullptr) {
        pw_thread_loop_unlock(d.loop);
        d.end("PipeWire stream not created");
        return;
    }
    static const pw_stream_events streamEvents = Impl::streamEvents();
    pw_stream_add_listener(d.stream, &d.streamListener, &streamEvents, &d);
    std::uint8_t room[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
    const spa_pod* offer = formatOffer(builder);
    const auto flags =
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS);
    if (pw_stream_connect(d.stream, PW_DIRECTION_INPUT, node, flags, &offer, 1) < 0)
        d.end("PipeWire stream not connected");
    pw_thread_loop_unlock(d.loop);
}

PipeWireStream::~PipeWireStream()
{
    Impl& d = *impl_;
    if (d.loop != nullptr) {
        pw_thread_loop_lock(d.loop);
        if (d.stream != nullptr) {
            spa_hook_remove(&d.streamListener);
            pw_stream_disconnect(d.stream);
            pw_stream_destroy(d.stream);
        }
        if (d.registry != nullptr) {
            spa_hook_remove(&d.registryListener);
            pw_proxy_destroy(reinterpret_cast<pw_proxy*>(d.registry));
        }
        if (d.core != nullptr) {
            spa_hook_remove(&d.coreListener);
            pw_core_disconnect(d.core);
        }
        pw_thread_loop_unlock(d.loop);
        pw_thread_loop_stop(d.loop);
    }
    if (d.context != nullptr)
        pw_context_destroy(d.context);
    if (d.loop != nullptr)
        pw_thread_loop_destroy(d.loop);
}

bool PipeWireStream::waitForFirstFrame(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> guard(impl_->lock);
    return impl_->changed.wait_for(guard, limit, [this] {
        return impl_->haveFrame.load() || impl_->ended.load();
    }) && impl_->haveFrame;
}

void PipeWireStream::setChangeListener(
    std::function<void(bool picture, bool pointerMoved)> listener)
{
    const std::lock_guard<std::mutex> guard(impl_->listenerLock);
    impl_->listener = std::move(listener);
}

std::pair<int, int> PipeWireStream::frameSize() const
{
    const std::lock_guard<std::mutex> guard(impl_->lock);
    return {impl_->newest.width, impl_->newest.height};
}

bool PipeWireStream::copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                             std::size_t stride) const
{
    const std::lock_guard<std::mutex> guard(impl_->lock);
    return copyFrameRgb(impl_->newest, x, y, width, height, rgb, stride);
}

std::optional<PointerPosition> PipeWireStream::pointer() const
{
    if (!impl_->havePointer)
        return std::nullopt;
    return PointerPosition{impl_->pointerX.load(), impl_->pointerY.load()};
}

bool PipeWireStream::ended() const
{
    return impl_->ended;
}

std::string PipeWireStream::failure() const
{
    const std::lock_guard<std::mutex> guard(impl_->lock);
    return impl_->failure;
}

} // namespace velmora
