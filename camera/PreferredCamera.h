#pragma once

#include <QString>

// The key "pidvid" of section "cam" in `confPath` (read into a 200-byte buffer, so at most 199
// bytes) lists the preferred cameras as "PID&VID" pairs. Returns the first engine index below
// `count` whose pair the list contains, or `current` when none does. The list only chooses among
// connected cameras; it never refuses one.
int preferredCamera(const QString& confPath, int count, int current);
