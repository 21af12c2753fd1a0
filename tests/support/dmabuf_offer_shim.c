/* Loaded with LD_PRELOAD into xdg-desktop-portal-wlr for the headless test desktop only.
 *
 * Version 0.7 of that portal refuses to start a screen cast unless the compositor offers a
 * DMA-BUF for each screencopy frame, and a compositor without a GPU never does (later versions
 * of the portal no longer insist). This library stands between the portal and the frame events:
 * when the compositor announced only a shared-memory buffer, it announces a DMA-BUF of the same
 * size right before "buffer_done". The portal then still hands PipeWire shared memory, since no
 * GPU can allocate anything else. Real desktops need none of this. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdint.h>
#include <string.h>

struct wl_proxy;

extern const char* wl_proxy_get_class(struct wl_proxy* proxy);

#define XRGB8888 0x34325258u /* DRM fourcc 'XR24' */
#define FRAME_EVENTS 7       /* buffer, flags, ready, failed, damage, linux_dmabuf, buffer_done */
#define SLOTS 64

typedef void (*handler_t)(void);

/* The events of zwlr_screencopy_frame_v1 in the order the protocol numbers them. */
struct frame_listener {
    void (*buffer)(void*, struct wl_proxy*, uint32_t, uint32_t, uint32_t, uint32_t);
    void (*flags)(void*, struct wl_proxy*, uint32_t);
    void (*ready)(void*, struct wl_proxy*, uint32_t, uint32_t, uint32_t);
    void (*failed)(void*, struct wl_proxy*);
    void (*damage)(void*, struct wl_proxy*, uint32_t, uint32_t, uint32_t, uint32_t);
    void (*linux_dmabuf)(void*, struct wl_proxy*, uint32_t, uint32_t, uint32_t);
    void (*buffer_done)(void*, struct wl_proxy*);
};

/* One frame in flight per output at most; a ring of slots reused in turn is plenty. */
struct frame_slot {
    struct wl_proxy* frame;
    const struct frame_listener* original;
    uint32_t width;
    uint32_t height;
    int dmabuf_seen;
};

static struct frame_slot slots[SLOTS];
static unsigned next_slot;
static pthread_mutex_t slots_lock = PTHREAD_MUTEX_INITIALIZER;

static struct frame_slot* slot_of(struct wl_proxy* frame)
{
    struct frame_slot* found = NULL;
    pthread_mutex_lock(&slots_lock);
    for (unsigned i = 0; i < SLOTS; ++i) {
        if (slots[i].frame == frame) {
            found = &slots[i];
            break;
        }
    }
    pthread_mutex_unlock(&slots_lock);
    return found;
}

static void on_buffer(void* data, struct wl_proxy* frame, uint32_t format, uint32_t width,
                      uint32_t height, uint32_t stride)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot == NULL)
        return;
    slot->width = width;
    slot->height = height;
    if (slot->original->buffer)
        slot->original->buffer(data, frame, format, width, height, stride);
}

static void on_flags(void* data, struct wl_proxy* frame, uint32_t flags)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot && slot->original->flags)
        slot->original->flags(data, frame, flags);
}

static void on_ready(void* data, struct wl_proxy* frame, uint32_t hi, uint32_t lo, uint32_t ns)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot && slot->original->ready)
        slot->original->ready(data, frame, hi, lo, ns);
}

static void on_failed(void* data, struct wl_proxy* frame)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot && slot->original->failed)
        slot->original->failed(data, frame);
}

static void on_damage(void* data, struct wl_proxy* frame, uint32_t x, uint32_t y, uint32_t w,
                      uint32_t h)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot && slot->original->damage)
        slot->original->damage(data, frame, x, y, w, h);
}

static void on_linux_dmabuf(void* data, struct wl_proxy* frame, uint32_t format, uint32_t width,
                            uint32_t height)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot == NULL)
        return;
    slot->dmabuf_seen = 1;
    if (slot->original->linux_dmabuf)
        slot->original->linux_dmabuf(data, frame, format, width, height);
}

static void on_buffer_done(void* data, struct wl_proxy* frame)
{
    struct frame_slot* slot = slot_of(frame);
    if (slot == NULL)
        return;
    if (!slot->dmabuf_seen && slot->original->linux_dmabuf)
        slot->original->linux_dmabuf(data, frame, XRGB8888, slot->width, slot->height);
    if (slot->original->buffer_done)
        slot->original->buffer_done(data, frame);
}

static const struct frame_listener standing_in = {
    on_buffer, on_flags, on_ready, on_failed, on_damage, on_linux_dmabuf, on_buffer_done,
};

int wl_proxy_add_listener(struct wl_proxy* proxy, void (**implementation)(void), void* data)
{
    static int (*real)(struct wl_proxy*, void (**)(void), void*);
    if (real == NULL)
        real = (int (*)(struct wl_proxy*, void (**)(void), void*))dlsym(RTLD_NEXT,
                                                                        "wl_proxy_add_listener");
    if (strcmp(wl_proxy_get_class(proxy), "zwlr_screencopy_frame_v1") != 0)
        return real(proxy, implementation, data);

    pthread_mutex_lock(&slots_lock);
    struct frame_slot* slot = &slots[next_slot++ % SLOTS];
    slot->frame = proxy;
    slot->original = (const struct frame_listener*)implementation;
    slot->width = 0;
    slot->height = 0;
    slot->dmabuf_seen = 0;
    pthread_mutex_unlock(&slots_lock);
    return real(proxy, (void (**)(void))&standing_in, data);
}
