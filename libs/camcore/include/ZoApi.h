/* The camera engine's flat interface.
 *
 * `cam` is a camera index 0 .. ZoGetCameraCount() - 1 in the engine's enumeration order: real
 * cameras first, then the virtual cameras that CAMCORE_VIRTUAL_CAMERAS=N adds. A window handle
 * is the native id (QWidget::winId()) of a widget of this process; the engine draws the live
 * video into that widget itself. Handle 0 opens a camera without drawing. Strings are
 * NUL-terminated in the locale's 8-bit encoding; a returned string stays valid until the next
 * call that returns a string on the same thread. Call from the thread that runs the Qt
 * application; callbacks arrive on that thread. A call about a camera or a window made from
 * any other thread does nothing and answers 0, false or "" (traced as "not on the GUI thread").
 *
 * Operations whose work is not available in this build return 0, false or "" and say so in
 * the trace (CAMCORE_TRACE=FILE appends one line per call).
 */
#ifndef CAMCORE_ZOAPI_H
#define CAMCORE_ZOAPI_H

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(CAMCORE_BUILDING)
#define ZO_API __attribute__((visibility("default")))
#else
#define ZO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uintptr_t ZoWindow; /* the same size as WId */

/* Out-arguments are references for C++ callers and pointers for C; the two share one ABI. */
#ifdef __cplusplus
#define ZO_OUT(type) type&
#else
#define ZO_OUT(type) type*
#endif

/* The watermark record: little-endian, 696 bytes, reserved areas zero. */
typedef struct _WATERMARKPARAM {
    char szText[300];     /* text, NUL-terminated */
    char szFontName[100]; /* font family, NUL-terminated */
    int32_t nFontSize;    /* points */
    uint8_t byRed;
    uint8_t byGreen;
    uint8_t byBlue;
    uint8_t byAlpha; /* opacity 0..255 */
    int32_t nAngle;  /* degrees, -90..90 */
    uint8_t reserved1[260];
    int32_t bFixedPos; /* 1: fixed place nFixedPos; 0: offsets nPosX, nPosY */
    int32_t nFixedPos; /* 0..4 */
    int32_t nPosX;     /* pixels of the current resolution */
    int32_t nPosY;
    uint8_t reserved2[8];
} _WATERMARKPARAM;

typedef void (*ZoZoomCallback)(float ratio);
typedef void (*ZoAutoCaptureCallback)(int32_t unused);

/* Devices */
ZO_API int ZoInit(void);
ZO_API int ZoGetCameraCount(void); /* also refreshes the device list */
ZO_API const char* ZoGetDevName(int cam);
ZO_API const char* ZoGetCameraPID(int cam); /* 4 hex digits, "" for non-USB devices */
ZO_API const char* ZoGetCameraVID(int cam);
/* A key that names the device while it is plugged in, whatever index the list gives it after a
 * refresh; "" for an index out of range. Not part of the original interface: the program uses
 * it to follow its cameras when the list is renumbered. */
ZO_API const char* ZoGetDevKey(int cam);

/* Opening and drawing; results are 1 on success, 0 on failure */
ZO_API int ZoOpenCamera(int cam, ZoWindow window);
ZO_API int ZoCloseCamera(int cam);
ZO_API int ZoSetHwnd(int cam, ZoWindow window);
ZO_API void ZoUpdateVideo(int cam);
ZO_API int ZoGetResCount(int cam); /* resolutions, largest first */
ZO_API int ZoGetResWidth(int cam, int index);
ZO_API int ZoGetResHeight(int cam, int index);
ZO_API int ZoSetResolution(int cam, int index);
ZO_API int ZoSetDefaultResolution(int cam, int index);
ZO_API const char* ZoGetVideoRect(int cam); /* "left.top.right.bottom" in window pixels */
ZO_API void ZoGetVideoRectEx(int cam, ZO_OUT(int) left, ZO_OUT(int) top, ZO_OUT(int) right,
                             ZO_OUT(int) bottom);
ZO_API void ZoSetShowZoomRate(int cam, bool show);

/* Mouse input forwarded from the window the video is drawn into */
ZO_API int ZoOnLMousePress(ZoWindow window, int x, int y);
ZO_API int ZoOnMouseMoving(ZoWindow window, int x, int y);
ZO_API int ZoOnLMouseRelease(ZoWindow window, int x, int y);
ZO_API int ZoOnWheel(ZoWindow window, int delta);
ZO_API int ZoSetMouseMode(int cam, int mode); /* 0 drag, 1 draw a cut rectangle, -1 ignore */

/* View */
ZO_API void ZoZoomIn(int cam);
ZO_API void ZoZoomOut(int cam);
ZO_API void ZoZoom(int cam, float ratio);
ZO_API float ZoGetMinZoomRatio(int cam);
ZO_API float ZoGetMaxZoomRatio(int cam);
ZO_API void ZoSetZoomCB(int cam, ZoZoomCallback callback);
ZO_API void ZoResetVideo(int cam);
ZO_API void ZoRotateLeft(int cam);
ZO_API void ZoRotateRight(int cam);
ZO_API int ZoSetRotate(int cam, int code); /* 0, 1, 2, 3: 0, 90, 180, 270 degrees */

/* Picture */
ZO_API int ZoSetDevColor(int cam, int mode); /* 0 colour, 1 grey, 2 black and white */
ZO_API int ZoSetDPI(int cam, int dpi);
ZO_API void ZoSetJpgQuality(int cam, int quality); /* 1..100 */
/* upper is the maximum and lower the minimum of the range */
ZO_API void ZoGetBrightness(int cam, ZO_OUT(bool) automatic, ZO_OUT(int) upper, ZO_OUT(int) lower,
                            ZO_OUT(int) value);
ZO_API void ZoGetExposure(int cam, ZO_OUT(bool) automatic, ZO_OUT(int) upper, ZO_OUT(int) lower,
                          ZO_OUT(int) value);
ZO_API void ZoSetBrightness(int cam, bool automatic, int value);
ZO_API void ZoSetExposure(int cam, bool automatic, int value);
ZO_API void ZoShowVideoProperty(int cam);
ZO_API int ZoEnableAutoRotate(int cam, bool enable);
ZO_API void ZoDelBackColor(int cam, bool enable);
ZO_API void ZoEnableSplitCap(int cam, bool enable);
ZO_API void ZoSetResize(int cam, bool enable, float ratio);
/* Each page a capture makes (both pages of a split) is turned upright when its text shows it
   lying sideways or upside down; a page without text stays as it is. Uses the OCR library's
   orientation model (libQuilOCR.so beside the engine); a few tenths of a second a page. */
ZO_API void ZoEnableAutoOrient(int cam, bool enable);
/* Each page a capture makes (both pages of a split, each on its own) is flattened when its text
   lines curve, as an open book's do near its spine: the lines come out straight and evenly
   spaced. A page whose lines run straight, or with too few lines, stays exactly as it is. */
ZO_API void ZoEnableDewarp(int cam, bool enable);

/* Capture */
ZO_API int ZoCapture(int cam, const char* path); /* number of images written */
ZO_API int ZoSetPDFMode(int cam, int mode);      /* 1 one page per file, 0 pages collected */
/* Searchable PDF: with enable, each PDF page the camera's captures write carries the words the
   OCR library (libQuilOCR.so beside the engine) reads on it, as invisible text over the picture
   (extracted by search, selection and pdftotext, Chinese included). Reading a dense page takes
   one to two and a half seconds, behind a queued capture (ZoCaptureQueued). The picture itself is
   stored as without text. Off by default; without the OCR library pages are saved without text. */
ZO_API void ZoSetPdfText(int cam, bool enable);
/* Whether the OCR library that searchable PDF pages need is there: without it, pages asked to
   carry text are saved without it (ZO_CAPTURE_NO_TEXT_READER). */
ZO_API bool ZoPdfTextReaderPresent(void);
/* Queued capture. ZoCaptureQueued takes the camera's frame at the call (during the automatic
   capture callback, the frame the page watch judged settled), with the view and the switches as
   they are then, and returns at once with a job number (1, 2, ...). The job is finished on the
   camera's own threads (decoded, cut, processed, turned upright, read, written), jobs in the order
   they were taken, and `callback` (may be null) then runs once on the GUI thread with its result.
   A call refused at once answers minus a reason: ZO_CAPTURE_BUSY while the jobs waiting already
   hold about 200 MB, ZO_CAPTURE_CAMERA_LOST for a camera not open or unplugged,
   ZO_CAPTURE_NAME_REFUSED for a path without a picture extension. Nothing accepted is dropped:
   closing the camera or the engine first finishes its jobs, whose callbacks still come from the
   GUI thread's event loop after the close returns: `user` must live until they have come.
   ZoCapture queues a job and waits for it. */
enum {
    ZO_CAPTURE_OK = 0,
    ZO_CAPTURE_BUSY = 1,
    ZO_CAPTURE_CAMERA_LOST = 2, /* not open, unplugged, or no picture came */
    ZO_CAPTURE_FOLDER_MISSING = 3,
    ZO_CAPTURE_FOLDER_READ_ONLY = 4,
    ZO_CAPTURE_DISK_FULL = 5,
    ZO_CAPTURE_NAME_REFUSED = 6,    /* no picture extension, or a name the file system refuses */
    ZO_CAPTURE_PICTURE_DAMAGED = 7, /* the camera's picture could not be decoded */
    ZO_CAPTURE_NO_TEXT_READER = 8,  /* written, but a searchable PDF page without its text */
    ZO_CAPTURE_WRITE_FAILED = 9     /* any other failure of the file system */
};
typedef struct ZoCaptureResult {
    int32_t job;
    int32_t written;        /* files written, or pages added to a collected PDF */
    int32_t reason;         /* ZO_CAPTURE_OK, or why not everything was written */
    const char* reasonText; /* a short English reason, "" with ZO_CAPTURE_OK */
    const char* files;      /* the paths written, each followed by "\n" */
    /* The job's first page as written, at most 640 pixels wide (RGB, 3 bytes a pixel); null
       when nothing was made. A PDF is shown in a list through it. */
    const unsigned char* pictureRgb;
    int32_t pictureWidth;
    int32_t pictureHeight;
    int32_t pictureBytesPerLine;
    /* A spread split into two pages: the second (right) page, the same way; null otherwise. */
    const unsigned char* secondPictureRgb;
    int32_t secondPictureWidth;
    int32_t secondPictureHeight;
    int32_t secondPictureBytesPerLine;
} ZoCaptureResult;
/* Everything the result points to is valid during the call only. */
typedef void (*ZoCaptureCallback)(const ZoCaptureResult* result, void* user);
ZO_API int ZoCaptureQueued(int cam, const char* path, ZoCaptureCallback callback, void* user);
/* The same with the frame as the view shows it (zoom, cut, rotation, colour, size, watermark),
   without the page switches (automatic crop, split, flattening, cleaning, card copy, upright):
   one file, never a page of the collected PDF. For pictures drawn on over the preview. */
ZO_API int ZoCaptureViewQueued(int cam, const char* path, ZoCaptureCallback callback, void* user);
/* The camera's jobs not yet finished; -1 for no such camera. */
ZO_API int ZoCapturesPending(int cam);
/* Waits until every job of the camera is finished; returns how many pages of collected PDFs
   could not be written (a full disk, a folder gone) since the last call, 0 when all were; -1 for
   no such camera. */
ZO_API int ZoWaitPdfPages(int cam);
/* Takes the last `pages` pages out of the camera's collected PDF once the captures queued before
   this call are written: the file becomes the document as it was before them, with the text of
   the pages kept, replaced whole (never a part). Taking out every page removes the file. Only
   pages added since the document was started or continued can be taken out. `callback` (may be
   null) then runs once on the GUI thread with the pages left, or -1 when nothing was taken out.
   Returns 1 when the removal is queued, 0 for a camera not open or `pages` below 1. */
typedef void (*ZoPagesRemovedCallback)(int32_t pagesLeft, void* user);
/* Automatic capture forgets the last page it found (the program took it out again): the same
   page, laid down or settling again after a motion, is found anew. With lookAgain, the page lying
   still now is found anew without a motion (to take it once more). Returns 1, or 0 for a camera
   not open or without automatic capture on. */
ZO_API int ZoForgetLastPage(int cam, bool lookAgain);
ZO_API int ZoRemoveLastPdfPagesQueued(int cam, int32_t pages, ZoPagesRemovedCallback callback,
                                      void* user);
ZO_API void ZoSetCaptureMode(int cam, int mode);
/* Joins the pictures of list (paths, each followed by ";") on a white canvas, each centred:
   (1, 2, 0, 0) one above the other, (0, 1, 2, 0) side by side. out as for ZoCapture, at the DPI
   of the first picture. Returns 1, or 0 when nothing was written. */
ZO_API int ZoImagesMix(const char* list, int a, int b, int c, int d, const char* out);
/* main with sub scaled to width x height inset and framed; -x is its distance from the left
   edge, -y that of its bottom edge from the bottom edge. Returns 1, or 0 when nothing was
   written (width or height not positive, a picture unreadable). */
ZO_API int ZoCombineMainSubEn(const char* main, const char* sub, const char* out, int width,
                              int height, int x, int y);
/* The same two behind the window, as a queued capture of camera cam: the result is written after
   the camera's captures taken before, a PDF as the next page of its collected document, and
   `callback` runs on the GUI thread as for ZoCaptureQueued (ZO_CAPTURE_PICTURE_DAMAGED when a
   source cannot be read). The sources must be written when the call is made. */
ZO_API int ZoImagesMixQueued(int cam, const char* list, int a, int b, int c, int d, const char* out,
                             ZoCaptureCallback callback, void* user);
ZO_API int ZoCombineMainSubQueued(int cam, const char* main, const char* sub, const char* out,
                                  int width, int height, int x, int y, ZoCaptureCallback callback,
                                  void* user);
ZO_API int ZoGetImageWidth(const char* path);
ZO_API int ZoGetImageHeight(const char* path);
ZO_API void ZoSetAutoCap(int cam, bool enable);
ZO_API void ZoSetAutoCapCB(int cam, ZoAutoCaptureCallback callback);
ZO_API int ZoAddWaterMark(int cam, int type, _WATERMARKPARAM* param);
ZO_API int ZoClearWatermark(int cam);

/* Recognition, printing, recording, ID card */
/* The codes of the camera's newest frame as markup ("" for none). A reading lasts at most 5 s;
   one that takes longer ends with the codes found so far. */
ZO_API const char* ZoReadBarcode(int cam);
/* Queued barcode reading: takes the camera's frame at the call, reads it behind the window,
   readings in the order asked for, and runs `callback` on the GUI thread with the reading's
   number, the markup ZoReadBarcode answers, and a reason. A capture queued during the callback
   (ZoCaptureQueued) takes the frame that was read, so that a file named by its codes holds them.
   Returns the reading's number (1, 2, ...), or minus a reason when refused at once. */
enum { ZO_BARCODE_OK = 0, ZO_BARCODE_CAMERA_LOST = 1, ZO_BARCODE_TIMED_OUT = 2 };
typedef void (*ZoBarcodeCallback)(int32_t reading, const char* markup, int32_t reason, void* user);
ZO_API int ZoReadBarcodeQueued(int cam, ZoBarcodeCallback callback, void* user);
/* ZoPrint makes the camera's current picture, processed as a capture would be, and hands it to
   the print function the program registered, which chooses the printer and prints it; it returns
   that function's answer (1 printed, 0 not), or 0 without a picture or a print function. The
   pixels (RGB, 3 bytes each) are valid during the call only. */
typedef int (*ZoPrintCallback)(const unsigned char* rgb, int width, int height, int bytesPerLine,
                               int dpi);
ZO_API void ZoSetPrintCB(ZoPrintCallback callback);
ZO_API int ZoPrint(int cam);
/* The same with the picture made behind the window of the frame at the call: returns 1 at once,
   and the print function runs later on the GUI thread (with a null picture, width and height 0,
   when none could be made); 0 without an open camera or a print function. */
ZO_API int ZoPrintQueued(int cam);
/* Recording. ZoStartRecordEx records the camera's stream to an MP4 file at `path` (H.264, with
   AAC of the chosen sound input when withAudio); 1 when it runs, 0 when it cannot start (nothing
   is left on disk then). ZoStopRecordEx stops it and returns once the file is complete.

   ZoStopRecordQueued ends the camera's recording at the call and returns at once: 1, or 0 when
   the camera was not recording (the callback then never runs). Its file is completed on the
   engine's own thread (the frames still queued are encoded, the sound is read up to the moment
   of the stop, which some inputs hand over seconds late, and the file is closed and read back);
   `callback` (may be null) then runs once on the GUI thread with the result. The camera may
   start its next recording at once, to another path, while the file before is completed.
   Closing a camera that records, or unplugging it, completes its file the same way, without a
   callback. No file is left incomplete: the engine's end waits for every one. */
enum {
    ZO_RECORD_OK = 0,
    ZO_RECORD_WRITE_FAILED = 1, /* the disk or folder refused part of it; it plays up to there */
    ZO_RECORD_NO_PICTURE = 2,   /* no frame came from the camera */
    ZO_RECORD_UNREADABLE = 3    /* the file written does not read back */
};
typedef struct ZoRecordResult {
    const char* path;
    int32_t complete;       /* 1: the whole file is written and its first picture reads back */
    int32_t reason;         /* ZO_RECORD_OK, or why it is not complete */
    const char* reasonText; /* a short English reason, "" with ZO_RECORD_OK */
    int32_t frames;         /* pictures in the file */
    int32_t milliseconds;   /* from the start to the stop */
    /* The file's first picture as read back from it, at most 640 pixels wide (RGB, 3 bytes a
       pixel); null when it does not read. */
    const unsigned char* pictureRgb;
    int32_t pictureWidth;
    int32_t pictureHeight;
    int32_t pictureBytesPerLine;
} ZoRecordResult;
/* Everything the result points to is valid during the call only. */
typedef void (*ZoRecordCallback)(const ZoRecordResult* result, void* user);
ZO_API int ZoStartRecordEx(int cam, const char* path, bool withAudio);
ZO_API int ZoStopRecordEx(int cam);
ZO_API int ZoStopRecordQueued(int cam, ZoRecordCallback callback, void* user);
/* Files of every camera stopped (or closed, or unplugged while recording) whose end has not yet
   been reported on the GUI thread. */
ZO_API int ZoRecordingsFinishing(void);
ZO_API int ZoGetAudioCount(void);
ZO_API const char* ZoGetAudioName(int index);
ZO_API void ZoSetAudioDev(int index);
/* Identity cards: these name no camera and may be called from any thread. ZoReadIDCard reads
   the card on the reader and writes the holder's photo as a JPEG; the getters then give the
   card's texts, "" after a failed read. ZoMakeIDCard draws both sides of the last card read on
   one page (300 dpi) and writes it as a JPEG. The files lie in a private folder of the process
   until the caller deletes them or the process ends; each has a name of its own. Without a
   reader's hardware, CAMCORE_VIRTUAL_IDCARD=FILE names a card file (README). */
ZO_API bool ZoReadIDCard(void);
ZO_API const char* ZoMakeIDCard(void);
ZO_API const char* ZoGetIDName(void);
ZO_API const char* ZoGetIDSex(void);
ZO_API const char* ZoGetIDNation(void);
ZO_API const char* ZoGetIDBirthFull(void);
ZO_API const char* ZoGetIDAddress(void);
ZO_API const char* ZoGetIDNum(void);
ZO_API const char* ZoGetIDDepart(void);
ZO_API const char* ZoGetIDTermDay(void);
ZO_API const char* ZoGetIDHeadImagePath(void);
/* Whether a card reader is there to read from (the virtual one included); false means
   ZoReadIDCard cannot succeed until one is attached. */
ZO_API bool ZoIDCardReaderPresent(void);

/* Documents made of a picture file: writes the picture at `picture` as a one-page searchable PDF
   at `pdf` (the page is the picture at `dpi`, 0 for the density the file records, with the words
   the OCR library reads on it laid over it, invisible). Blocks for the reading (one to two seconds
   a page) and may be called from any thread. Returns 1 when the file was written, 0 when nothing
   was (the picture unreadable, the folder not writable). */
ZO_API int ZoMakeSearchablePdf(const char* picture, const char* pdf, int dpi);

/* Language of the texts the engine shows itself: the line drawn over a lost camera's picture and
   the property dialog. 0 Chinese, 1 English (the default); a surface showing a lost camera is
   redrawn at once. */
ZO_API void ZoSetLanguage(int language);

#ifdef __cplusplus
} /* extern "C" */

static_assert(sizeof(_WATERMARKPARAM) == 696, "the watermark record is shared by layout");
static_assert(offsetof(_WATERMARKPARAM, nFontSize) == 400);
static_assert(offsetof(_WATERMARKPARAM, nAngle) == 408);
static_assert(offsetof(_WATERMARKPARAM, bFixedPos) == 672);
static_assert(offsetof(_WATERMARKPARAM, nPosY) == 684);
#endif

#endif
