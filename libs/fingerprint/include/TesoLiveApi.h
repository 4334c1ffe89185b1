/* The fingerprint reader library: libTesoLive.so.
 *
 * The program loads the library at run time from its own directory for each operation, looks the
 * eighteen entries up by name, and unloads it afterwards; the typedefs below are the entries'
 * types for that lookup. Every result is an int; a negative result is one of the TC_ERR_ codes.
 * Call from one thread at a time; TcDoTemplet and TcDoFeature block while they take the finger.
 *
 * The reader is virtual: TESOLIVE_VIRTUAL_FINGER names an image of the finger on the reader (8-bit
 * PGM or JPEG, at most 1024 x 1024, about 500 dpi) or a folder of such images (*.pgm, *.jpg,
 * *.jpeg). Each TcDoTemplet or TcDoFeature takes one image: always the same file, or the folder's
 * images one after another in byte order of their names, starting over after the last. The folder's
 * position outlives the library being unloaded: the name last taken is kept in
 * $XDG_RUNTIME_DIR/tesolive-virtual-finger (or /tmp/tesolive-virtual-finger-<uid>), and naming
 * another folder starts at its first image. Without the variable there is no reader.
 *
 * Templates and features are the same kind of text: at most TC_TEXT_MAX printable ASCII
 * characters (the finger's minutiae, base64), NUL-terminated in a TC_TEXT_BUFFER-byte buffer.
 */
#ifndef TESOLIVE_API_H
#define TESOLIVE_API_H

#include <stdint.h>

#if defined(TESOLIVE_BUILDING)
#define TESOLIVE_API __attribute__((visibility("default")))
#else
#define TESOLIVE_API
#endif

#define TESOLIVE_LIBRARY_FILE "libTesoLive.so"
#define TESOLIVE_VIRTUAL_FINGER_ENV "TESOLIVE_VIRTUAL_FINGER"

#define TC_TEXT_MAX 512
#define TC_TEXT_BUFFER (TC_TEXT_MAX + 1)

#define TC_OK 0
#define TC_ERR_HANDLE (-1)      /* not a handle from TcCreateHDL, or already deleted */
#define TC_ERR_PARAM (-2)       /* a null buffer or an argument out of range */
#define TC_ERR_CAPTURE (-3)     /* no finger image could be taken from the reader */
#define TC_ERR_QUALITY (-4)     /* the image shows too little of a finger to make a template */
#define TC_ERR_FORMAT (-5)      /* a template or feature that is empty or not one of ours */
#define TC_ERR_NO_MATCH (-6)    /* template and feature are of different fingers */
#define TC_ERR_UNSUPPORTED (-7) /* this reader does not offer the operation */

/* Security levels of TcSafeMatch: 1 accepts the most, 5 the least; 3 is the usual. */
#define TC_LEVEL_MIN 1
#define TC_LEVEL_DEFAULT 3
#define TC_LEVEL_MAX 5

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the reader; all zero picks the first one found (the only one: the virtual reader).
 * Returns a non-zero handle, or 0 when there is no reader. */
TESOLIVE_API int TcCreateHDL(int port, int speed, int address, int flags);
/* Releases the handle: TC_OK or TC_ERR_HANDLE. */
TESOLIVE_API int TcDeleteHDL(int handle);
/* Takes the finger and writes a registration template into templet[TC_TEXT_BUFFER].
 * Returns the template's length, or TC_ERR_HANDLE, TC_ERR_PARAM, TC_ERR_CAPTURE, TC_ERR_QUALITY. */
TESOLIVE_API int TcDoTemplet(int handle, char* templet);
/* Takes the finger and writes a verification feature into feature[TC_TEXT_BUFFER]; as TcDoTemplet.
 */
TESOLIVE_API int TcDoFeature(int handle, char* feature);
/* Compares a template with a feature; needs no reader, so handle may be 0. Returns a score from 0
 * to 100 when they are of the same finger at this security level, else TC_ERR_NO_MATCH, or
 * TC_ERR_FORMAT for an empty or malformed text and TC_ERR_PARAM for a level out of range. */
TESOLIVE_API int TcSafeMatch(int handle, const char* templet, const char* feature, int level);

/* The operations below belong to readers with a screen, a buzzer, flash memory or an image
 * channel to the host. The virtual reader has none of these; each returns TC_ERR_UNSUPPORTED. */

/* Vendor extension `code` with a data block of `size` bytes. */
TESOLIVE_API int TcExtnEntry(int handle, int code, void* data, int size);
/* Takes the raw finger image into image (width * height bytes, grey). */
TESOLIVE_API int TcGetImgDat(int handle, unsigned char* image, int* width, int* height);
/* Makes a feature / a template from a grey image the host already has. */
TESOLIVE_API int TcFeaFrmImg(int handle, const unsigned char* image, int width, int height,
                             char* feature);
TESOLIVE_API int TcTplFrmImg(int handle, const unsigned char* image, int width, int height,
                             char* templet);
/* Reads the reader's serial number as a NUL-terminated string into serial[size]. */
TESOLIVE_API int TcReadDevSn(int handle, char* serial, int size);
/* Reads (operation 0) or writes (1) `size` bytes of the reader's flash at `address`. */
TESOLIVE_API int TcOperFlash(int handle, int operation, int address, unsigned char* data, int size);
/* Sounds the buzzer for beepMs milliseconds and sets the light (0 off, 1 green, 2 red). */
TESOLIVE_API int TcBeepLight(int handle, int beepMs, int light);
/* Shows the live finger image in the native window `window`; 0 stops it. */
TESOLIVE_API int TcShowImage(int handle, uintptr_t window);
/* Writes a grey image to a BMP file / reads one back (width and height in and out). */
TESOLIVE_API int TcSaveAsBmp(const char* path, const unsigned char* image, int width, int height);
TESOLIVE_API int TcLoadFrBmp(const char* path, unsigned char* image, int* width, int* height);
/* Calls back with 1 when a finger is put on the reader and 0 when it is lifted. */
typedef void (*TcFingerEventFn)(void* context, int present);
TESOLIVE_API int TcIniListen(int handle, TcFingerEventFn callback, void* context);
/* Flashes the reader's light so the user can find it. */
TESOLIVE_API int TcWhereAreu(int handle);
/* Converts a template between this library's text and the reader's binary form (direction 0
 * text to binary, 1 back) into out[outSize]. */
TESOLIVE_API int TcCodeCnvrt(const char* in, char* out, int outSize, int direction);

typedef int (*TcCreateHDLFn)(int port, int speed, int address, int flags);
typedef int (*TcDeleteHDLFn)(int handle);
typedef int (*TcExtnEntryFn)(int handle, int code, void* data, int size);
typedef int (*TcDoFeatureFn)(int handle, char* feature);
typedef int (*TcDoTempletFn)(int handle, char* templet);
typedef int (*TcSafeMatchFn)(int handle, const char* templet, const char* feature, int level);
typedef int (*TcGetImgDatFn)(int handle, unsigned char* image, int* width, int* height);
typedef int (*TcFeaFrmImgFn)(int handle, const unsigned char* image, int width, int height,
                             char* feature);
typedef int (*TcTplFrmImgFn)(int handle, const unsigned char* image, int width, int height,
                             char* templet);
typedef int (*TcReadDevSnFn)(int handle, char* serial, int size);
typedef int (*TcOperFlashFn)(int handle, int operation, int address, unsigned char* data, int size);
typedef int (*TcBeepLightFn)(int handle, int beepMs, int light);
typedef int (*TcShowImageFn)(int handle, uintptr_t window);
typedef int (*TcSaveAsBmpFn)(const char* path, const unsigned char* image, int width, int height);
typedef int (*TcLoadFrBmpFn)(const char* path, unsigned char* image, int* width, int* height);
typedef int (*TcIniListenFn)(int handle, TcFingerEventFn callback, void* context);
typedef int (*TcWhereAreuFn)(int handle);
typedef int (*TcCodeCnvrtFn)(const char* in, char* out, int outSize, int direction);

#ifdef __cplusplus
}
#endif

#endif /* TESOLIVE_API_H */
