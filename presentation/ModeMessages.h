#pragma once

// The modes' own message: a photo could not be taken (the camera is gone or failed).
void sayNoPicture(int language);
