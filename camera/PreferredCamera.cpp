#include "PreferredCamera.h"

#include "ZoApi.h"
#include "platform/Profile.h"

int preferredCamera(const QString& confPath, int count, int current) {
    const platform::Profile conf(confPath);
    const QByteArray list = conf.readString("cam", "pidvid", "", 200);
    if (list.isEmpty())
        return current;
    for (int index = 0; index < count; ++index) {
        const QByteArray pid(ZoGetCameraPID(index));
        const QByteArray vid(ZoGetCameraVID(index));
        // A device without identifiers would make "&" its pair, which every list contains.
        if (pid.isEmpty() || vid.isEmpty())
            continue;
        if (list.contains(pid + '&' + vid))
            return index;
    }
    return current;
}
