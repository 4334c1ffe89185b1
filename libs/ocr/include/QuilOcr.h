/* The OCR library: libQuilOCR.so, reading simplified Chinese and English text from a picture
 * file with Tesseract.
 *
 * The program links the library at build time. Paths are NUL-terminated strings in the locale's
 * 8-bit encoding; every text returned is NUL-terminated UTF-8 owned by the library. Entries may
 * be called from any thread: on a machine with two cores or more, two calls read at once, each
 * with its own engine (a third waits for one of them). A returned pointer stays valid until the
 * same thread calls the same entry again, so copy the result before that. Each recognition uses
 * one thread.
 */
#ifndef QUILOCR_H
#define QUILOCR_H

#ifdef __cplusplus
extern "C" {
#else
#include <stdbool.h>
#endif

#if defined(QUILOCR_BUILDING)
#define QUILOCR_API __attribute__((visibility("default")))
#else
#define QUILOCR_API
#endif

/* Chooses the language models: <programDir>tessdata/ first (programDir is the program's folder,
 * with or without its final '/'; null or "" skips it), then $TESSDATA_PREFIX, then the system's
 * tessdata folders. The engine itself starts on the first recognition, so this call is cheap.
 * `reserved` is accepted and ignored. Returns 1 when models were found, 0 otherwise; without
 * them every recognition returns an empty result. */
QUILOCR_API int fnInit(int reserved, const char* programDir);

/* The text of the picture in imagePath (JPEG, PNG, TIFF, BMP, ...): lines end with '\n',
 * paragraphs are separated by an empty line, Chinese has no spaces between characters. A
 * missing, unreadable or non-picture file (or a null path) gives "". Made for a photographed
 * page about 1200 pixels wide: inside, the picture is brought to 1800 pixels wide (at most
 * doubled) and the light of the room evened out before Tesseract reads it. The eight numeric and
 * flag arguments are accepted and ignored: the library chooses its own settings. Never returns
 * null. */
QUILOCR_API const char* fnQuilOCREx(const char* imagePath, int reserved1, int reserved2,
                                    float reserved3, float reserved4, float reserved5,
                                    float reserved6, bool reserved7, bool reserved8);

/* One recognised word, for laying invisible text over a page (a searchable PDF). */
typedef struct QuilOcrWord {
    const char* text; /* UTF-8; a Chinese "word" is a run of characters */
    int left, top;    /* box in pixels of the picture in the file, origin top-left */
    int width, height;
    float confidence; /* 0 to 100 */
    int line;         /* text line, counted from 0 in reading order */
} QuilOcrWord;

/* The words of the picture in imagePath, read as a copy maxWidth pixels wide would be (a
 * narrower picture at its own width; maxWidth <= 0 means 1600). Boxes are in the coordinates of
 * the file and lie inside it; a page lying a few degrees askew is read straightened, and each
 * word's box is then the upright box around the word as it lies in the file. Sets *words to the
 * array (null when there are none) and returns its length; 0 for a file that cannot be read. The
 * array and its texts stay valid until the thread calls fnQuilOCRWords again. When maxWidth is at
 * least the picture's width, the words' texts in order are, apart from spaces and line ends, the
 * text fnQuilOCREx gives for the same file. */
QUILOCR_API int fnQuilOCRWords(const char* imagePath, int maxWidth, const QuilOcrWord** words);

/* The scripts a page is read in: every language the library has, or English alone for a page
 * written in Latin letters only (over twice as fast, as the Chinese model no longer reads each
 * word first). */
#define QUILOCR_ALL_SCRIPTS 0
#define QUILOCR_LATIN_ONLY 1

/* fnQuilOCRWords reading in the given scripts (QUILOCR_ALL_SCRIPTS or QUILOCR_LATIN_ONLY; any
 * other value reads in all). Shares fnQuilOCRWords's array on the calling thread: either call
 * replaces it. */
QUILOCR_API int fnQuilOCRWordsIn(const char* imagePath, int maxWidth, int scripts,
                                 const QuilOcrWord** words);

/* The clockwise turn in degrees (0, 90, 180 or 270) that brings the page in imagePath upright,
 * judged from its text by Tesseract's orientation model (osd.traineddata beside the language
 * models); -1 when the file cannot be read, the model is missing, or the page has too little
 * text to tell. */
QUILOCR_API int fnQuilOCROrientation(const char* imagePath);

/* fnQuilOCROrientation, and in the same look at the page the scripts to read it in: *scripts
 * (when not null) is set to QUILOCR_LATIN_ONLY when the orientation model is sure the text is
 * all in Latin letters, QUILOCR_ALL_SCRIPTS otherwise (also when the file cannot be read). */
QUILOCR_API int fnQuilOCROrientationScripts(const char* imagePath, int* scripts);

#ifdef __cplusplus
}
#endif

#endif /* QUILOCR_H */
