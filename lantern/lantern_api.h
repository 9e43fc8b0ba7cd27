#pragma once
/*
 * liblantern.so: picture scaling and retouching, thumbnails and rendered web buttons.
 *
 * The program loads the library for one command and unloads it afterwards (see
 * lantern/lanternclient.h); a missing library or export makes the command do nothing.
 *
 * Conventions of every export:
 *  - strings are zero-terminated UTF-8; a null pointer counts as an empty string;
 *  - results are written into the caller's buffer (result, resultSize in bytes, room for
 *    the terminating zero included); a result that does not fit is written as empty;
 *  - the return value is 1 when the work was done, 0 otherwise (cancelled, missing or
 *    unreadable file, bad argument, no running QApplication). Nothing is ever thrown;
 *  - colours are 0x00BBGGRR numbers;
 *  - messages for the user go through the program's message dialog. When the environment
 *    variable QUILLON_LANTERN_NOTICES names a file, they are appended to that file
 *    instead (UTF-8, one a line) and no dialog is shown: tests and batch tools use this.
 *  - folders name the home folder's layout ($QUILLON_HOME); they end with "/".
 */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(LANTERN_BUILD)
#define LANTERN_EXPORT __attribute__((visibility("default")))
#else
#define LANTERN_EXPORT
#endif

/* Pixel layouts of LanternBitmap. */
enum LanternPixelFormat {
    /* 32-bit words 0xAARRGGBB in native byte order, alpha ignored (QImage::Format_RGB32, ARGB32) */
    LANTERN_PIXELS_XRGB32 = 1,
    /* three bytes a pixel: red, green, blue (QImage::Format_RGB888) */
    LANTERN_PIXELS_RGB24 = 2
};

/* A caller-owned picture; stride is the number of bytes from one row to the next. */
typedef struct LanternBitmap {
    int width;
    int height;
    int stride;
    int format; /* a LanternPixelFormat */
    const void* pixels;
} LanternBitmap;

/* Inclusive pixel coordinates: right and bottom are the last column and row. */
typedef struct LanternRect {
    int left;
    int top;
    int right;
    int bottom;
} LanternRect;

/*
 * The modal scaling dialog ("Scale") for file. folder holds "web.ini" with the preset
 * boxes. On Ok the picture is saved in the home folder's "bmp/" as "temp" plus extension
 * (".gif" when makeGif, else ".jpg" when changed, else the file's own extension) and that
 * name ("temp.jpg") is written to result. Cancelled: result empty, returns 0.
 */
LANTERN_EXPORT int LetHimScale(const char* folder, const char* file, int makeGif, char* result, int resultSize);

/* As LetHimScale, but the result is always re-encoded: GIF for a ".gif" source, else JPEG. */
LANTERN_EXPORT int LetHimScaleWeb(const char* folder, const char* file, char* result, int resultSize);

/*
 * Fits source into a boxWidth x boxHeight box and saves destFolder + destName + ".jpg"
 * (or ".gif" for a GIF source unless forceJpeg). With useBackgroundCanvas the picture is
 * put at the top, centred, on a box-sized canvas filled with backgroundColour. A missing
 * source does nothing; an unreadable one shows "<file> Image not valid".
 */
LANTERN_EXPORT int MakeThumbnail(const char* source, const char* destFolder, const char* destName, int boxWidth,
                                 int boxHeight, int backgroundColour, int useBackgroundCanvas, int forceJpeg);

/*
 * Renders caption as a web button or title image after the description section
 * descriptionName of siteFolder + "site.ini" and saves outputName + ".gif" (a relative
 * outputName is taken inside siteFolder). colourDepth 2..7 reduces the GIF to that many
 * bits a pixel. Names containing "TOPICITEM" first assemble the topic-item frame.
 * The last argument is ignored.
 */
LANTERN_EXPORT int MakeButton(const char* caption, const char* siteFolder, const char* outputName,
                              const char* descriptionName, int colourDepth, int unused);

/*
 * The bounding box of the pixels that differ from the background 0xFCFEFC (RGB 252, 254,
 * 252). A side without such pixels keeps the bitmap's edge, so a blank bitmap gives
 * (0, 0, width - 1, height - 1).
 */
LANTERN_EXPORT int GetBitmapRect(const LanternBitmap* bitmap, LanternRect* rect);

typedef int (*LetHimScaleFunction)(const char*, const char*, int, char*, int);
typedef int (*LetHimScaleWebFunction)(const char*, const char*, char*, int);
typedef int (*MakeThumbnailFunction)(const char*, const char*, const char*, int, int, int, int, int);
typedef int (*MakeButtonFunction)(const char*, const char*, const char*, const char*, int, int);
typedef int (*GetBitmapRectFunction)(const LanternBitmap*, LanternRect*);

#ifdef __cplusplus
}
#endif
