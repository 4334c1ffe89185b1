#include "record/AudioSources.h"

#include "base/Owned.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include <algorithm>

namespace camcore {
namespace {

void freeLoop(pa_mainloop* loop) {
    pa_mainloop_free(loop);
}
void dropContext(pa_context* context) {
    pa_context_disconnect(context);
    pa_context_unref(context);
}
void dropOperation(pa_operation* operation) {
    pa_operation_unref(operation);
}

struct Listing {
    std::vector<AudioSource> sources;
    bool done = false;
};

void onSource(pa_context*, const pa_source_info* info, int last, void* data) {
    auto& listing = *static_cast<Listing*>(data);
    if (last != 0 || info == nullptr) {
        listing.done = true;
        return;
    }
    if (info->monitor_of_sink != PA_INVALID_INDEX)
        return; // what an output plays is no microphone
    listing.sources.push_back(
        {info->name, info->description != nullptr ? info->description : info->name});
}

// Runs the loop until `done` or the context fails.
template <typename Done> bool runUntil(pa_mainloop* loop, pa_context* context, Done done) {
    while (!done()) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
            return false;
        if (pa_mainloop_iterate(loop, 1, nullptr) < 0)
            return false;
    }
    return true;
}

} // namespace

std::vector<AudioSource> listAudioSources() {
    const Owned<pa_mainloop*, freeLoop> loop(pa_mainloop_new());
    if (!loop)
        return {};
    const Owned<pa_context*, dropContext> context(
        pa_context_new(pa_mainloop_get_api(loop.get()), "docscanner"));
    if (!context || pa_context_connect(context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return {};
    if (!runUntil(loop.get(), context.get(),
                  [&] { return pa_context_get_state(context.get()) == PA_CONTEXT_READY; }))
        return {};
    Listing listing;
    const Owned<pa_operation*, dropOperation> operation(
        pa_context_get_source_info_list(context.get(), onSource, &listing));
    if (!operation || !runUntil(loop.get(), context.get(), [&] { return listing.done; }))
        return {};
    std::sort(listing.sources.begin(), listing.sources.end(),
              [](const AudioSource& a, const AudioSource& b) { return a.name < b.name; });
    return listing.sources;
}

} // namespace camcore
