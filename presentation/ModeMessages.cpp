#include "ModeMessages.h"

#include "CaptureMessages.h"
#include "platform/Message.h"

void sayNoPicture(int language) {
    using capture_messages::text;
    platform::showMessage(text(language, "提示", "Information"),
                          text(language, "抓图失败, 请检查摄像头!",
                               "The picture could not be taken: check the camera."));
}
