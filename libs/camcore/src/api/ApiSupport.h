#pragma once

// What every flat function shares: finding the camera, checking it, tracing the call, and
// keeping returned strings alive.

#include "Camera.h"
#include "Engine.h"
#include "Trace.h"

#include <memory>
#include <string>
#include <type_traits>

namespace camcore::api {

inline constexpr const char* kBadCamera = "no such camera";
inline constexpr const char* kNotAvailable = "not available";
inline constexpr const char* kWrongThread = "not on the GUI thread";

// Refuses a call made on a thread that does not own the engine, before it looks at a camera
// or a window: traces it with the answer `absent` and returns true.
template <typename Result, typename... Traced>
bool refusedOffThread(const char* name, const Result& absent, const Traced&... traced) {
    if (Engine::onOwnerThread())
        return false;
    traceCall(name, absent, kWrongThread, traced...);
    return true;
}

// The same for calls without a result.
template <typename... Traced> bool refusedOffThreadVoid(const char* name, const Traced&... traced) {
    if (Engine::onOwnerThread())
        return false;
    traceVoid(name, kWrongThread, traced...);
    return true;
}

// The camera at an index of the current device list; null when there is none.
inline Camera* cameraAt(int cam) {
    Engine::instance().init();
    return Engine::instance().camera(cam);
}

// The device at an index of the current device list; null when there is none.
inline std::shared_ptr<CameraDevice> deviceAt(int cam) {
    Engine::instance().init();
    return Engine::instance().device(cam);
}

// Keeps a returned string alive until the function using this slot returns another on this
// thread.
template <int Slot> const char* keep(std::string text) {
    static thread_local std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

// What a call answers: its result, and why it did not do what was asked ("" when it did).
template <typename Result> struct Answer {
    Result result{};
    const char* note = "";
};

// 1 when `done`, else 0 with `refusal` as the note.
inline Answer<int> doneOr(bool done, const char* refusal) {
    return {done ? 1 : 0, done ? "" : refusal};
}

namespace detail {

template <typename Result, typename Returned> Answer<Result> asAnswer(Returned&& returned) {
    if constexpr (std::is_same_v<std::decay_t<Returned>, Answer<Result>>)
        return returned;
    else
        return {static_cast<Result>(returned), ""};
}

} // namespace detail

// The shape of a flat function: runs `action` on the object it looked up and traces
// "name(traced...) -> result[ note]". Without the object (null `target`) the action does not
// run, and the answer is `absent` with the note `missing`. `action` returns the result, or an
// Answer when it can refuse. The traced values are read after the action, so out-parameters are
// traced as the caller receives them.
template <typename Target, typename Result, typename Action, typename... Traced>
Result answerOn(const char* name, Target* target, const char* missing, Result absent,
                Action&& action, const Traced&... traced) {
    Answer<Result> answer{absent, missing};
    if (target != nullptr)
        answer = detail::asAnswer<Result>(action(*target));
    traceCall(name, answer.result, answer.note, traced...);
    return answer.result;
}

// The same for calls without a result, traced as "name(traced...)[ note]": `action` returns
// nothing, or the note.
template <typename Target, typename Action, typename... Traced>
void performOn(const char* name, Target* target, const char* missing, Action&& action,
               const Traced&... traced) {
    const char* note = missing;
    if (target != nullptr) {
        if constexpr (std::is_void_v<decltype(action(*target))>) {
            action(*target);
            note = "";
        } else {
            note = action(*target);
        }
    }
    traceVoid(name, note, traced...);
}

// The flat functions on camera `cam`: "no such camera" when the index names none.
template <typename Result, typename Action, typename... Traced>
Result answerOnCamera(const char* name, int cam, Result absent, Action&& action,
                      const Traced&... traced) {
    if (refusedOffThread(name, absent, traced...))
        return absent;
    return answerOn(name, cameraAt(cam), kBadCamera, absent, action, traced...);
}

template <typename Action, typename... Traced>
void performOnCamera(const char* name, int cam, Action&& action, const Traced&... traced) {
    if (refusedOffThreadVoid(name, traced...))
        return;
    performOn(name, cameraAt(cam), kBadCamera, action, traced...);
}

} // namespace camcore::api
