#pragma once

#include "Camera.h"
#include "ZoApi.h"

namespace camcore::api {

// What a queued job tells the program's C callback once it is written: the result points into
// copies that live until the callback returns. Nothing without a callback. `name` is the call's,
// for the trace.
Camera::CaptureDone deliveryTo(const char* name, ZoCaptureCallback callback, void* user);

} // namespace camcore::api
