/*
 * hsi.h - the Tracelon host interface: 102 functions with C linkage, the host's status and option
 * codes, and the host record types as packed structures.
 *
 * Conventions:
 * - Lengths are int32 drawing units (DBU); a point is two int32 (x, y). Angles are degrees.
 * - Statuses and options are 16-bit codes from 0xFC1A upwards (HSI_SUCCESS, HSI_FAILURE, ...).
 * - Texts are NUL-terminated 8-bit strings. Arguments given "by reference" are pointers; every
 *   pointer may be null, in which case the call fails (HSI_FAILURE, 0, or the documented "no"
 *   value) and nothing else happens.
 * - Object ids and symbol ids are positive int32 values. The host never hands out an id between
 *   0xFC00 and 0xFCFF, so a function that returns an id can return HSI_FAILURE on failure without
 *   ambiguity.
 * - Every call runs on the host's thread only.
 *
 * docs/host-interface.md describes each function and every choice the host makes.
 */
#ifndef HSI_HSI_H
#define HSI_HSI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define HSI_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#include <assert.h>
#define HSI_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#if defined(_WIN32) && defined(HSI_BUILDING_HOST)
#define HSI_API __declspec(dllexport)
#elif defined(_WIN32)
#define HSI_API __declspec(dllimport)
#else
#define HSI_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t HsiStatus;

/* ---- Status and option codes ---------------------------------------------------------------- */

#define HSI_SUCCESS 0xFC1A        /* the call did what was asked */
#define HSI_FAILURE 0xFC1B        /* the call failed; also a menu pick during a selection */
#define HSI_NOTHING_FOUND 0xFC1C  /* a selection found nothing at the point */
#define HSI_LAYER_ON 0xFC1D       /* layer display state: shown */
#define HSI_LAYER_OFF 0xFC1E      /* layer display state: hidden */
#define HSI_TRUE 0xFC1F           /* option flag "yes": final object, given point, highlight */
#define HSI_FALSE 0xFC20          /* option flag "no": temporary object, ask the user, plain */
#define HSI_FINAL HSI_TRUE        /* object creation: a final object */
#define HSI_TEMPORARY HSI_FALSE   /* object creation: a temporary (preview) object */
#define HSI_INSIDE_WORLD HSI_TRUE /* HsiPtCheck: the point lies inside the world */
#define HSI_OUTSIDE_WORLD HSI_FALSE
#define HSI_LAYER_OFF_WAS_ACTIVE                                   \
  HSI_FALSE /* layer state written for a switched-off active layer \
             */
#define HSI_MODE_2D 0xFC24
#define HSI_MODE_3D 0xFC25
#define HSI_SCALED_FRACTIONS 0xFC26
#define HSI_SCALED_DECIMALS 0xFC27
#define HSI_UNIT_INCHES 0xFC28
#define HSI_UNIT_MILLIMETRES 0xFC29
#define HSI_UNIT_CENTIMETRES 0xFC2A
#define HSI_UNIT_METRES 0xFC2B
#define HSI_UNIT_FEET 0xFC2C
#define HSI_UNIT_FEET_INCHES 0xFC2D
#define HSI_SELECTION_ENDED 0xFC40 /* an interactive selection was ended with the second button */
#define HSI_SYMINFO_SELECTOR 0xFC48

/* Error numbers reported by HsiGetCvErrno (int16; the 16-bit pattern is given in brackets). */
#define HSI_ERR_NO_NODE ((int16_t)-949)        /* [0xFC4B] the symbol has no node */
#define HSI_ERR_TOO_MANY_LINES ((int16_t)-948) /* [0xFC4C] more than two lines to open */
#define HSI_ERR_TOO_FEW_LINES ((int16_t)-947)  /* [0xFC4D] no line to open */
#define HSI_ERR_ODD_LINES ((int16_t)-946)      /* [0xFC4E] the lines do not pair up as a wall */
#define HSI_ERR_DOES_NOT_FIT ((int16_t)-943)   /* [0xFC51] the opening does not fit */
#define HSI_ERR_PLACEMENT ((int16_t)-938)      /* [0xFC56] the symbol could not be placed */
#define HSI_ERR_BAD_ARGUMENT ((int16_t)-990)   /* [0xFC22] a null pointer or bad value */
#define HSI_ERR_NO_OBJECT ((int16_t)-989)      /* [0xFC23] an unknown object, list or symbol */
#define HSI_ERR_FILE ((int16_t)-937)           /* [0xFC57] a file could not be read or written */
#define HSI_ERR_NO_JUNCTION ((int16_t)-936)    /* [0xFC58] HsiObjFixParLines found no junction */

/* Point statuses of HsiGetPoint and HsiGet3DPoint. */
#define HSI_POINT_CANCELLED 0
#define HSI_POINT_GIVEN 1
#define HSI_POINT_BUTTON2 2

/* Drawing modes of HsiObjDraw, HsiEditDraw, HsiDrawLine, HsiDrawArc, HsiDrawText. */
#define HSI_DRAW_ERASE (-1)     /* remove a temporary image */
#define HSI_DRAW_HIGHLIGHT (-2) /* draw as a temporary, highlighted image */
#define HSI_DRAW_NORMAL (-3)    /* draw normally */

/* Cursor styles of HsiMakeCursor and HsiMake3DCursor. */
#define HSI_CURSOR_DRAG 0         /* the objects of a selection list follow the cursor */
#define HSI_CURSOR_LINE 1         /* rubber-band line from the first point */
#define HSI_CURSOR_LINE_SNAPPED 3 /* rubber-band line turned onto the snap angle */
#define HSI_CURSOR_WINDOW 4       /* rubber-band window from the first corner */

/* Object types: HsiObjCreate takes the record types, HsiObjType reports the object types. */
#define HSI_RECORD_CAD_TEXT 46
#define HSI_RECORD_ARC 48
#define HSI_RECORD_TRUETYPE 54
#define HSI_OBJ_LINESET 1
#define HSI_OBJ_ARC 3
#define HSI_OBJ_TEXT 4
#define HSI_OBJ_TRUETYPE 5
#define HSI_OBJ_SYMBOL 6

/* Selection filters: one bit per object type, bit (type - 1); 0 admits every type. */
#define HSI_FILTER_ANY 0
#define HSI_FILTER_LINESET 1
#define HSI_FILTER_ARC 4
#define HSI_FILTER_TEXT 8
#define HSI_FILTER_TRUETYPE 16
#define HSI_FILTER_SYMBOL 32

/* Window selection modes of HsiSelectbyWindow. */
#define HSI_WINDOW_CROSSING 4 /* objects inside or crossing the window */
#define HSI_WINDOW_INSIDE 5   /* objects lying wholly inside the window */

/* Host path numbers of HsiGetPaths / HsiSetPaths. */
#define HSI_PATH_DRAWINGS 0
#define HSI_PATH_MACROS 1
#define HSI_PATH_SYMBOLS 2
#define HSI_PATH_SYMBOLS_3D 3
#define HSI_PATH_PLOTS 4
#define HSI_PATH_LAYERS 5
#define HSI_PATH_WORK_FILES 6
#define HSI_PATH_BACKUPS 7
#define HSI_PATH_PROGRAM 8
#define HSI_PATH_EXPORTS 9
#define HSI_PATH_FONTS 10
#define HSI_PATH_TEMPLATES 11
#define HSI_PATH_ROOT 12
#define HSI_PATH_REFERENCES 13
#define HSI_PATH_REFERENCE_LAYERS 14
#define HSI_PATH_COUNT 15

/* File kinds of HsiLoadFile. */
#define HSI_LOAD_DRAWING 0
#define HSI_LOAD_LAYERS 6

/* Fix kinds of HsiObjFixParLines. */
#define HSI_FIX_CORNER 1
#define HSI_FIX_OPEN_WYE 2
#define HSI_FIX_CROSS 3
#define HSI_FIX_OPEN_TEE 4
#define HSI_FIX_CLOSED_TEE 5

/* Host command numbers the stand-in acts on. */
#define HSI_COMMAND_UNDO 1139

/* Sizes of text buffers the host fills. */
#define HSI_PATH_SIZE 256     /* HsiGetPaths */
#define HSI_UNIT_TEXT_SIZE 24 /* HsiDbutoString */
#define HSI_FONT_NAME_SIZE 32 /* HsiGetFontName */
#define HSI_LAYER_COUNT 255
#define HSI_CAD_TEXT_CHARS 256 /* characters of a type-46 record, the NUL included */

/* ---- Records ------------------------------------------------------------------------------- */

#pragma pack(push, 1)

typedef struct HsiPoint {
  int32_t x, y;
} HsiPoint;

typedef struct HsiPoint3D {
  int32_t x, y, z;
} HsiPoint3D;

/* An entry of a selection list: the object's id and two 16-bit words (the segment number for
 * lines to open, else 0). */
typedef struct HsiOslEntry {
  int32_t id;
  int16_t segment;
  int16_t reserved;
} HsiOslEntry;

/* Object type 46: one line of CAD text. */
typedef struct HsiCadText {
  int32_t x, y;                  /* 0: the text's vertex */
  int16_t layer;                 /* 8 */
  int16_t colour;                /* 10 */
  int32_t size;                  /* 12: height in DBU */
  uint16_t charSpacing;          /* 16: character spacing x 10000 (0: proportional) */
  double orientation;            /* 18: degrees */
  double widthFactor;            /* 26 */
  int16_t hcode;                 /* 34: left 0, right 1, centre 2 */
  int16_t vcode;                 /* 36: top 4, centre 2, bottom 3 */
  int16_t font;                  /* 38: font slot 0..4 */
  int16_t slant;                 /* 40: degrees */
  int16_t length;                /* 42: number of characters */
  char text[HSI_CAD_TEXT_CHARS]; /* 44: NUL-terminated */
} HsiCadText;

/* Object type 54: TrueType text. */
typedef struct HsiTrueTypeText {
  int32_t x, y;       /* 0: the pick point */
  int16_t layer;      /* 8 */
  int16_t colour;     /* 10 */
  double scaleX;      /* 12: horizontal stretch, 1.0 */
  double scaleY;      /* 20: vertical stretch, 1.0 */
  double orientation; /* 28: degrees */
  int16_t hcode;      /* 36: where the pick point lies: left 0, right 1, centre 2 */
  int16_t vcode;      /* 38: top 4, centre 2, bottom 3 */
  int16_t content;    /* 40: 1 an RTF document in the memory block, 2 plain text at 82 */
  char face[32];      /* 42: NUL-terminated */
  int16_t size;       /* 74: points */
  int16_t style;      /* 76: 1 bold, 2 italic, 4 underline, 8 strike-out */
  uint32_t document;  /* 78: handle of the memory block that holds the RTF document */
  char text[2056];    /* 82: plain text (content 2), NUL-terminated */
} HsiTrueTypeText;

#define HSI_TT_CONTENT_RTF 1
#define HSI_TT_CONTENT_PLAIN 2

/* Object type 48: an arc, counter-clockwise from the first end point to the second. */
typedef struct HsiArc {
  int32_t cx, cy; /* 0: centre */
  int16_t layer;  /* 8 */
  int16_t style;  /* 10: 0 */
  int16_t weight; /* 12: 0 */
  int16_t colour; /* 14 */
  int32_t radius; /* 16 */
  HsiPoint start; /* 20 */
  HsiPoint end;   /* 28 */
} HsiArc;

/* The host's layer record (HsiGetLayer / HsiSetLayer). */
typedef struct HsiLayerRecord {
  char name[18];       /* 0: NUL-terminated, at most 17 characters */
  int16_t colour;      /* 18: the tenth 16-bit word; 0 = objects keep their own colour */
  uint16_t state;      /* 20: display state, HSI_LAYER_ON / HSI_LAYER_OFF / 0xFC20 */
  uint16_t state2;     /* 22: display state again (the host reads this word) */
  int16_t style;       /* 24: line style, 0 solid */
  int16_t weight;      /* 26: line weight */
  int32_t objectCount; /* 28: final objects on the layer (read only) */
  uint16_t marker;     /* 32: HSI_TRUE when the layer holds objects, else HSI_FALSE (read only) */
  int16_t reserved[3]; /* 34 */
} HsiLayerRecord;

/* Object information records (HsiObjInfo): a common head, then the type's own fields. */
typedef struct HsiInfoHead {
  int16_t type;   /* 0: HSI_OBJ_... */
  uint16_t kind;  /* 2: HSI_FINAL or HSI_TEMPORARY */
  int32_t x1, y1; /* 4: extent box, lower left (a CAD text: upper left) */
  int32_t x2, y2; /* 12: extent box, upper right (a CAD text: lower right, on its base line) */
  int32_t x, y;   /* 20: the object's point (see each type) */
  int16_t layer;  /* 28 */
  int16_t colour; /* 30 */
  int32_t id;     /* 32 */
} HsiInfoHead;

typedef struct HsiTextInfo { /* HSI_OBJ_TEXT: point = vertex */
  HsiInfoHead head;
  int32_t size;                  /* 36 */
  uint16_t charSpacing;          /* 40 */
  double orientation;            /* 42 */
  double widthFactor;            /* 50 */
  int16_t hcode;                 /* 58 */
  int16_t vcode;                 /* 60 */
  int16_t font;                  /* 62 */
  int16_t slant;                 /* 64 */
  int16_t length;                /* 66 */
  char text[HSI_CAD_TEXT_CHARS]; /* 68 */
} HsiTextInfo;

typedef struct HsiLinesetInfo { /* HSI_OBJ_LINESET: point = first vertex */
  HsiInfoHead head;
  int16_t lastVertex; /* 36: index of the last vertex (the number of segments) */
  int16_t weight;     /* 38 */
  int16_t style;      /* 40 */
  int16_t closed;     /* 42: 1 when the first and the last vertex coincide */
  HsiPoint first;     /* 44 */
  HsiPoint last;      /* 52 */
} HsiLinesetInfo;

typedef struct HsiArcInfo { /* HSI_OBJ_ARC: point = centre */
  HsiInfoHead head;
  int32_t radius;    /* 36 */
  HsiPoint start;    /* 40 */
  HsiPoint end;      /* 48 */
  double startAngle; /* 56: degrees */
  double endAngle;   /* 64: degrees */
} HsiArcInfo;

typedef struct HsiSymbolInstanceInfo { /* HSI_OBJ_SYMBOL: point = insertion point */
  HsiInfoHead head;
  int32_t symbol;      /* 36: symbol id */
  double scaleX;       /* 40 */
  double scaleY;       /* 48 */
  int16_t inserted;    /* 56: 1 when placed into lines by HsiObjOpenSegment */
  int16_t reserved[2]; /* 58 */
  char name[34];       /* 62: symbol name, NUL-terminated */
  double scaleZ;       /* 96 */
  double rotation;     /* 104: degrees (the 2D rotation) */
  double rotationY;    /* 112 */
  double rotationZ;    /* 120 */
} HsiSymbolInstanceInfo;

typedef struct HsiTrueTypeInfo { /* HSI_OBJ_TRUETYPE: point = pick point */
  HsiInfoHead head;
  int32_t height;     /* 36: height of one line in DBU */
  double orientation; /* 40 */
  int16_t hcode;      /* 48 */
  int16_t vcode;      /* 50 */
  char face[32];      /* 52 */
  int16_t size;       /* 84: points */
  int16_t style;      /* 86 */
  int32_t length;     /* 88: characters of the plain text */
  char text[256];     /* 92: the plain text (first 255 characters), NUL-terminated */
} HsiTrueTypeInfo;

typedef union HsiObjectInfo {
  HsiInfoHead head;
  HsiTextInfo text;
  HsiLinesetInfo lineset;
  HsiArcInfo arc;
  HsiSymbolInstanceInfo symbol;
  HsiTrueTypeInfo truetype;
  uint8_t bytes[512];
} HsiObjectInfo;

/* Drawing information (HsiGetDwgInfo). */
typedef struct HsiDrawingInfo {
  char name[64];          /* 0: the drawing's name (file name without folder and extension) */
  char path[256];         /* 64: the drawing file, empty when never saved or loaded */
  int32_t objectCount;    /* 320 */
  int32_t x1, y1, x2, y2; /* 324: extent of the final objects */
  double drawingScale;    /* 340 */
  double plotScale;       /* 348 */
  int32_t pointsPerUnit;  /* 356 */
  uint16_t unitType;      /* 360 */
  uint16_t progMode;      /* 362 */
  int16_t activeLayer;    /* 364 */
  int16_t referenceCount; /* 366 */
  uint8_t reserved[208];  /* 368 */
  char description[256];  /* 576 */
} HsiDrawingInfo;

/* Drawing references. */
typedef struct HsiReferenceInfo {
  uint16_t recordSize; /* 0: sizeof(HsiReferenceRecord) */
  uint16_t count;      /* 2: number of references in the drawing */
  int16_t reserved[6]; /* 4 */
} HsiReferenceInfo;

typedef struct HsiReferenceRecord {
  int16_t index;       /* 0: counted from 0 */
  int16_t layer;       /* 2: layer the referenced objects are shown on; 0 = their own layers */
  char path[112];      /* 4: the referenced drawing file */
  char layerFile[256]; /* 116: layer file applied to the reference's layers; empty: none */
  int32_t offsetX;     /* 372 */
  int32_t offsetY;     /* 376 */
  double scale;        /* 380 */
  double rotation;     /* 388 */
  uint16_t visible;    /* 396: HSI_TRUE or HSI_FALSE */
  int16_t reserved;    /* 398 */
} HsiReferenceRecord;

/* TrueType settings (HsiGetTrueTypeInfo / HsiSetTrueTypeInfo). The plain-text fields lay out
 * TrueType records whose content is plain text (content 2). */
typedef struct HsiTrueTypeSettings {
  char face[32];      /* 0: default face */
  int16_t size;       /* 32: default size, points */
  int16_t style;      /* 34: default style bits */
  int16_t hcode;      /* 36 */
  int16_t vcode;      /* 38 */
  double orientation; /* 40 */
  double plainWidth;  /* 48: paper width in inches at which plain text wraps */
  int16_t plainWrap;  /* 56: 1 wrap plain text at plainWidth, 0 never */
  int16_t plainAlign; /* 58: paragraph alignment of plain text: left 0, right 1, centre 2 */
  int32_t reserved;   /* 60 */
} HsiTrueTypeSettings;

/* Text preview attributes (HsiDrawText). */
typedef struct HsiTextAttributes {
  int32_t size;           /* 0 */
  uint16_t charSpacing;   /* 4: x 10000 */
  double orientation;     /* 6 */
  double widthFactor;     /* 14 */
  int16_t hcode;          /* 22 */
  int16_t vcode;          /* 24 */
  int16_t font;           /* 26 */
  int16_t slant;          /* 28 */
  double charSpacingReal; /* 30 */
} HsiTextAttributes;

/* Symbol settings (HsiSetSymInfo with HSI_SYMINFO_SELECTOR). A negative scale mirrors. */
typedef struct HsiSymbolInfo {
  double scaleX2D, scaleY2D, rotation2D;
  double scaleX3D, scaleY3D, scaleZ3D;
  double rotationX3D, rotationY3D, rotationZ3D;
} HsiSymbolInfo;

/* Options of HsiLoadFile: two 16-bit words, both 0. */
typedef struct HsiLoadOptions {
  int16_t option1;
  int16_t option2;
} HsiLoadOptions;

#pragma pack(pop)

HSI_STATIC_ASSERT(sizeof(HsiPoint) == 8, "HsiPoint");
HSI_STATIC_ASSERT(sizeof(HsiPoint3D) == 12, "HsiPoint3D");
HSI_STATIC_ASSERT(sizeof(HsiOslEntry) == 8, "HsiOslEntry");
HSI_STATIC_ASSERT(sizeof(HsiCadText) == 300, "HsiCadText size");
HSI_STATIC_ASSERT(offsetof(HsiCadText, layer) == 8, "HsiCadText.layer");
HSI_STATIC_ASSERT(offsetof(HsiCadText, colour) == 10, "HsiCadText.colour");
HSI_STATIC_ASSERT(offsetof(HsiCadText, size) == 12, "HsiCadText.size");
HSI_STATIC_ASSERT(offsetof(HsiCadText, charSpacing) == 16, "HsiCadText.charSpacing");
HSI_STATIC_ASSERT(offsetof(HsiCadText, orientation) == 18, "HsiCadText.orientation");
HSI_STATIC_ASSERT(offsetof(HsiCadText, widthFactor) == 26, "HsiCadText.widthFactor");
HSI_STATIC_ASSERT(offsetof(HsiCadText, hcode) == 34, "HsiCadText.hcode");
HSI_STATIC_ASSERT(offsetof(HsiCadText, vcode) == 36, "HsiCadText.vcode");
HSI_STATIC_ASSERT(offsetof(HsiCadText, font) == 38, "HsiCadText.font");
HSI_STATIC_ASSERT(offsetof(HsiCadText, slant) == 40, "HsiCadText.slant");
HSI_STATIC_ASSERT(offsetof(HsiCadText, length) == 42, "HsiCadText.length");
HSI_STATIC_ASSERT(offsetof(HsiCadText, text) == 44, "HsiCadText.text");
HSI_STATIC_ASSERT(sizeof(HsiTrueTypeText) == 2138, "HsiTrueTypeText size");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, scaleX) == 12, "HsiTrueTypeText.scaleX");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, scaleY) == 20, "HsiTrueTypeText.scaleY");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, orientation) == 28, "HsiTrueTypeText.orientation");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, hcode) == 36, "HsiTrueTypeText.hcode");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, vcode) == 38, "HsiTrueTypeText.vcode");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, content) == 40, "HsiTrueTypeText.content");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, face) == 42, "HsiTrueTypeText.face");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, size) == 74, "HsiTrueTypeText.size");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, style) == 76, "HsiTrueTypeText.style");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, document) == 78, "HsiTrueTypeText.document");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeText, text) == 82, "HsiTrueTypeText.text");
HSI_STATIC_ASSERT(sizeof(HsiArc) == 36, "HsiArc size");
HSI_STATIC_ASSERT(offsetof(HsiArc, layer) == 8, "HsiArc.layer");
HSI_STATIC_ASSERT(offsetof(HsiArc, colour) == 14, "HsiArc.colour");
HSI_STATIC_ASSERT(offsetof(HsiArc, radius) == 16, "HsiArc.radius");
HSI_STATIC_ASSERT(offsetof(HsiArc, start) == 20, "HsiArc.start");
HSI_STATIC_ASSERT(offsetof(HsiArc, end) == 28, "HsiArc.end");
HSI_STATIC_ASSERT(sizeof(HsiLayerRecord) == 40, "HsiLayerRecord size");
HSI_STATIC_ASSERT(offsetof(HsiLayerRecord, colour) == 18, "HsiLayerRecord.colour");
HSI_STATIC_ASSERT(offsetof(HsiLayerRecord, state) == 20, "HsiLayerRecord.state");
HSI_STATIC_ASSERT(offsetof(HsiLayerRecord, state2) == 22, "HsiLayerRecord.state2");
HSI_STATIC_ASSERT(offsetof(HsiLayerRecord, marker) == 32, "HsiLayerRecord.marker");
HSI_STATIC_ASSERT(sizeof(HsiInfoHead) == 36, "HsiInfoHead size");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, x1) == 4, "HsiInfoHead.x1");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, x2) == 12, "HsiInfoHead.x2");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, y2) == 16, "HsiInfoHead.y2");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, x) == 20, "HsiInfoHead.x");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, y) == 24, "HsiInfoHead.y");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, layer) == 28, "HsiInfoHead.layer");
HSI_STATIC_ASSERT(offsetof(HsiInfoHead, colour) == 30, "HsiInfoHead.colour");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, size) == 36, "HsiTextInfo.size");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, charSpacing) == 40, "HsiTextInfo.charSpacing");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, orientation) == 42, "HsiTextInfo.orientation");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, widthFactor) == 50, "HsiTextInfo.widthFactor");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, hcode) == 58, "HsiTextInfo.hcode");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, length) == 66, "HsiTextInfo.length");
HSI_STATIC_ASSERT(offsetof(HsiTextInfo, text) == 68, "HsiTextInfo.text");
HSI_STATIC_ASSERT(offsetof(HsiLinesetInfo, lastVertex) == 36, "HsiLinesetInfo.lastVertex");
HSI_STATIC_ASSERT(offsetof(HsiArcInfo, radius) == 36, "HsiArcInfo.radius");
HSI_STATIC_ASSERT(offsetof(HsiArcInfo, start) == 40, "HsiArcInfo.start");
HSI_STATIC_ASSERT(offsetof(HsiArcInfo, end) == 48, "HsiArcInfo.end");
HSI_STATIC_ASSERT(offsetof(HsiSymbolInstanceInfo, name) == 62, "HsiSymbolInstanceInfo.name");
HSI_STATIC_ASSERT(offsetof(HsiSymbolInstanceInfo, rotation) == 104, "HsiSymbolInstanceInfo.rot");
HSI_STATIC_ASSERT(sizeof(HsiSymbolInstanceInfo) == 128, "HsiSymbolInstanceInfo size");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeInfo, text) == 92, "HsiTrueTypeInfo.text");
HSI_STATIC_ASSERT(sizeof(HsiObjectInfo) == 512, "HsiObjectInfo size");
HSI_STATIC_ASSERT(sizeof(HsiDrawingInfo) == 832, "HsiDrawingInfo size");
HSI_STATIC_ASSERT(offsetof(HsiDrawingInfo, description) == 576, "HsiDrawingInfo.description");
HSI_STATIC_ASSERT(sizeof(HsiReferenceInfo) == 16, "HsiReferenceInfo size");
HSI_STATIC_ASSERT(offsetof(HsiReferenceInfo, count) == 2, "HsiReferenceInfo.count");
HSI_STATIC_ASSERT(sizeof(HsiReferenceRecord) == 400, "HsiReferenceRecord size");
HSI_STATIC_ASSERT(offsetof(HsiReferenceRecord, layerFile) == 116, "HsiReferenceRecord.layerFile");
HSI_STATIC_ASSERT(sizeof(HsiTrueTypeSettings) == 64, "HsiTrueTypeSettings size");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeSettings, plainWidth) == 48, "HsiTrueTypeSettings.48");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeSettings, plainWrap) == 56, "HsiTrueTypeSettings.56");
HSI_STATIC_ASSERT(offsetof(HsiTrueTypeSettings, plainAlign) == 58, "HsiTrueTypeSettings.58");
HSI_STATIC_ASSERT(sizeof(HsiTextAttributes) == 38, "HsiTextAttributes size");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, charSpacing) == 4, "HsiTextAttributes.charSpacing");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, orientation) == 6, "HsiTextAttributes.orientation");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, widthFactor) == 14, "HsiTextAttributes.widthFactor");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, hcode) == 22, "HsiTextAttributes.hcode");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, vcode) == 24, "HsiTextAttributes.vcode");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, font) == 26, "HsiTextAttributes.font");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, slant) == 28, "HsiTextAttributes.slant");
HSI_STATIC_ASSERT(offsetof(HsiTextAttributes, charSpacingReal) == 30, "HsiTextAttributes.30");
HSI_STATIC_ASSERT(sizeof(HsiSymbolInfo) == 72, "HsiSymbolInfo size");
HSI_STATIC_ASSERT(sizeof(HsiLoadOptions) == 4, "HsiLoadOptions size");

/* ---- State ---------------------------------------------------------------------------------- */

HSI_API HsiStatus HsiGetProgMode(void);    /* HSI_MODE_2D or HSI_MODE_3D */
HSI_API uint32_t HsiGetWindowHandle(void); /* the host's main window */
/* Copies folder `number` (0..14), with its trailing backslash when `flag` is 0 and without it
 * when `flag` is 1, into `buffer` (HSI_PATH_SIZE bytes). */
HSI_API HsiStatus HsiGetPaths(char* buffer, int16_t number, int16_t flag);
/* Sets folder `number` (0..14); a trailing backslash is added when missing. `flag` is 0. */
HSI_API HsiStatus HsiSetPaths(const char* path, int16_t number, int16_t flag);
HSI_API HsiStatus HsiGetDwgInfo(HsiDrawingInfo* info);
/* Non-zero while a host command runs or waits for input; 0 when the host is idle. */
HSI_API int16_t HsiGetActiveCommand(void);
/* The error number of the last call that failed (HSI_ERR_...), 0 when none failed yet. */
HSI_API int16_t HsiGetCvErrno(void);

/* ---- Layers --------------------------------------------------------------------------------- */

HSI_API HsiStatus HsiGetLayer(HsiLayerRecord* record, int16_t layer);
/* Writes name, colour, display state (the word at 22), style and weight; refuses to hide the
 * active layer. */
HSI_API HsiStatus HsiSetLayer(const HsiLayerRecord* record, int16_t layer);
HSI_API int16_t HsiGetActLayer(void);
HSI_API HsiStatus HsiSetActLayer(int16_t layer);
HSI_API int16_t HsiObjGetLayer(int32_t id); /* 0 for an unknown object */
HSI_API int16_t HsiGetCurColor(void);

/* ---- Units ---------------------------------------------------------------------------------- */

HSI_API HsiStatus HsiGetUnitType(void);
HSI_API HsiStatus HsiSetUnitType(uint16_t unitType);
HSI_API HsiStatus HsiGetPaperUnit(void);
HSI_API HsiStatus HsiSetPaperUnit(uint16_t unitType);
HSI_API HsiStatus HsiGetScaledUnits(void);
HSI_API HsiStatus HsiSetScaledUnits(uint16_t mode);
HSI_API int32_t HsiGetPntsPerUnit(void);
HSI_API HsiStatus HsiSetPntsPerUnit(int32_t pointsPerUnit);
HSI_API int16_t HsiGetDispDenom(void);
HSI_API HsiStatus HsiSetDispDenom(int16_t denominator);
HSI_API int16_t HsiGetDispPrecision(void);
HSI_API HsiStatus HsiSetDispPrecision(int16_t precision);
HSI_API double HsiGetDwgScale(void);
HSI_API HsiStatus HsiSetDwgScale(double scale);
HSI_API HsiStatus HsiSetPlotScale(double scale);
HSI_API int16_t HsiGetSpace(void); /* 0 paper, 1 drawing */
HSI_API HsiStatus HsiSetSpace(int16_t space);
/* Writes `dbu` in the host's unit notation into `text` (HSI_UNIT_TEXT_SIZE bytes). */
HSI_API HsiStatus HsiDbutoString(int32_t dbu, char* text);
/* Reads a length in the host's unit notation; on HSI_FAILURE `*dbu` is left unchanged. */
HSI_API HsiStatus HsiStringtoDbu(const char* text, int32_t* dbu);

/* ---- Snap ----------------------------------------------------------------------------------- */

HSI_API int16_t HsiGetSnapMode(void);
HSI_API HsiStatus HsiSetSnapMode(int16_t mode); /* 0..15 */
HSI_API int16_t HsiGet3DSnapMode(void);
HSI_API HsiStatus HsiSet3DSnapMode(int16_t mode);
HSI_API double HsiGetSnapAngle(void); /* degrees, 0 when angle snapping is off */

/* ---- Input ---------------------------------------------------------------------------------- */

/* Asks the user for a point. `*status`: 1 point, 2 second button, 0 cancel, or another status.
 * `*extra` receives the key state (0). Returns HSI_FAILURE when the host fails the request. */
HSI_API HsiStatus HsiGetPoint(const char* prompt, HsiPoint* point, int16_t* status, int16_t* extra);
HSI_API HsiStatus HsiGet3DPoint(const char* prompt, HsiPoint3D* point, int16_t* status,
                                int16_t* extra);
/* Hands a point to the host as typed coordinate input. `flag` is 0. */
HSI_API HsiStatus HsiCoordInput(const HsiPoint* point, int16_t flag);
/* Makes the cursor image: style HSI_CURSOR_DRAG with a list (its objects follow the cursor,
 * relative to `base`), or a rubber band from `base` (list unused). `flag1`, `flag2` are 0. */
HSI_API HsiStatus HsiMakeCursor(int16_t list, int16_t style, const HsiPoint* base, int16_t flag1,
                                const HsiPoint* other, int16_t flag2);
HSI_API HsiStatus HsiMake3DCursor(int16_t list, int16_t style, const HsiPoint3D* base,
                                  int16_t flag1, const HsiPoint3D* other, int16_t flag2);
HSI_API HsiStatus HsiDeleteCursor(void);
HSI_API HsiStatus HsiPtCheck(const HsiPoint* point); /* HSI_INSIDE_WORLD or HSI_OUTSIDE_WORLD */

/* ---- Geometry ------------------------------------------------------------------------------- */

HSI_API double HsiPang(const HsiPoint* from, const HsiPoint* to); /* degrees, 0 <= a < 360 */
/* Turns `*point` about `centre` by `angle` degrees (counter-clockwise), rounding to DBU. */
HSI_API HsiStatus HsiRotatePoint(HsiPoint* point, const HsiPoint* centre, double angle);
/* The foot of the perpendicular from `point` onto the line start-end. */
HSI_API HsiStatus HsiNormal(const HsiPoint* start, const HsiPoint* end, const HsiPoint* point,
                            HsiPoint* foot);
HSI_API HsiStatus HsiLineCenter(const HsiPoint* start, const HsiPoint* end, HsiPoint* centre);
HSI_API double HsiDoubleDist(const HsiPoint* a, const HsiPoint* b);
HSI_API int32_t HsiWorldDist(const HsiPoint* a, const HsiPoint* b); /* rounded to DBU */

/* ---- Selection lists (list 0 is the user's) ------------------------------------------------- */

HSI_API int32_t HsiOslCount(int16_t list); /* -1 for an unknown list */
HSI_API HsiStatus HsiOslItem(int16_t list, int32_t index, HsiOslEntry* entry);
/* Appends an entry; `flag` HSI_TRUE highlights the object, HSI_FALSE does not. An object that
 * is already in the list is not added twice (HSI_FAILURE). */
HSI_API HsiStatus HsiOslAdd(int16_t list, const HsiOslEntry* entry, uint16_t flag);
HSI_API HsiStatus HsiOslRm(int16_t list, const HsiOslEntry* entry); /* by object id */
HSI_API HsiStatus HsiOslClear(int16_t list);
HSI_API HsiStatus HsiOslRedraw(int16_t list, uint16_t flag); /* HSI_TRUE highlighted */
HSI_API HsiStatus HsiOslScanInit(int16_t list);
/* The next entry since HsiOslScanInit; HSI_FAILURE after the last. */
HSI_API HsiStatus HsiOslScan(int16_t list, HsiOslEntry* entry);
/* Creates a local list and returns its number (1 and up), -1 when no more can be made.
 * A negative `owner` names that owner's list: while it exists, asking again returns the same
 * list, emptied. Owner 0 or positive: a new list each time. `flags` is recorded only;
 * `capacity` limits the entries (0: 512). */
HSI_API int16_t HsiCreateLocalOsl(int16_t owner, int16_t flags, int16_t capacity);
HSI_API HsiStatus HsiFreeLocalOsl(int16_t list);
/* Adds to `list` the nearest object at a point that passes `filter` and is not yet in the list.
 * `given` HSI_TRUE: at `*point`; HSI_FALSE: the user picks the point (prompt shown), which is
 * returned in `*point`. The pick distance is `aperture` units of a paper distance (0.05 inch of
 * paper at start), converted by the drawing's points per unit and scale; `highlight` HSI_TRUE
 * marks it. Returns HSI_SUCCESS, HSI_NOTHING_FOUND, HSI_SELECTION_ENDED (second button or cancel
 * while picking) or HSI_FAILURE (a menu pick / failed request / bad argument). */
HSI_API HsiStatus HsiSelectbyPoint(int16_t list, const char* prompt, int16_t aperture,
                                   uint16_t given, uint16_t highlight, HsiPoint* point,
                                   int16_t filter);
/* Adds to `list` the objects in the window c1-c2 (mode HSI_WINDOW_CROSSING or _INSIDE) that pass
 * `filter`. `given` HSI_FALSE asks the user for both corners with the two prompts. Returns
 * HSI_NOTHING_FOUND when no object was added. */
HSI_API HsiStatus HsiSelectbyWindow(int16_t list, const char* prompt1, const char* prompt2,
                                    int16_t mode, uint16_t given, uint16_t highlight, HsiPoint* c1,
                                    HsiPoint* c2, int16_t filter);
/* The segment of lineset `id` nearest to `point`: its two vertex numbers, counted from 1. */
HSI_API HsiStatus HsiSelectLinesegment(int32_t id, const HsiPoint* point, int16_t* first,
                                       int16_t* second);

/* ---- Objects -------------------------------------------------------------------------------- */

/* Creates an object from a record of type 46, 48 or 54; `flag` HSI_FINAL or HSI_TEMPORARY.
 * Returns the new object's id, or HSI_FAILURE. */
HSI_API int32_t HsiObjCreate(int16_t type, const void* record, uint16_t flag);
/* A lineset: Startline, Addtoline for each further vertex, Endline. */
HSI_API HsiStatus HsiObjStartline(const HsiPoint* point, int16_t layer, int16_t style,
                                  int16_t weight, int16_t colour);
HSI_API HsiStatus HsiObjAddtoline(const HsiPoint* point, int16_t vertexKind); /* kind 2 */
/* Ends the lineset: `flag` HSI_FINAL or HSI_TEMPORARY, `draw` HSI_TRUE, `drawMode` a colour
 * (>= 0) or HSI_DRAW_NORMAL. Returns the new object's id, or HSI_FAILURE. */
HSI_API int32_t HsiObjEndline(uint16_t flag, uint16_t draw, int16_t drawMode);
HSI_API HsiStatus HsiObjDelete(int16_t list); /* deletes every object of the list */
HSI_API HsiStatus HsiObjDraw(int16_t list, int16_t mode);
HSI_API HsiStatus HsiObjInfo(int32_t id, HsiObjectInfo* info);
HSI_API HsiStatus HsiObjInfoxy(int32_t id, int16_t vertex, HsiPoint* point); /* from 0 */
HSI_API int16_t HsiObjType(int32_t id); /* HSI_OBJ_..., 0 for an unknown object */
/* Opens the one or two lines of `list` for symbol `symbol` at `insertion`, towards `direction`,
 * with justification 0 left, 1 right, 2 centre, and places the symbol in the opening. On
 * HSI_FAILURE, HsiGetCvErrno tells why. */
HSI_API HsiStatus HsiObjOpenSegment(int16_t list, int32_t symbol, const HsiPoint* insertion,
                                    const HsiPoint* direction, int16_t justification);
/* Repairs the junction (HSI_FIX_...) of the parallel line pairs of `list` inside c1-c2. */
HSI_API HsiStatus HsiObjFixParLines(int16_t list, int16_t kind, const HsiPoint* c1,
                                    const HsiPoint* c2, int16_t drawMode);
/* Temporary screen images (no object): mode HSI_DRAW_HIGHLIGHT draws, HSI_DRAW_ERASE removes. */
HSI_API HsiStatus HsiDrawLine(const HsiPoint* start, const HsiPoint* end, int16_t mode,
                              int16_t colour, int16_t weight);
HSI_API HsiStatus HsiDrawArc(const HsiPoint* centre, const HsiPoint* start, const HsiPoint* end,
                             int32_t radius, int16_t mode, int16_t colour, int16_t weight);
HSI_API HsiStatus HsiDrawText(const HsiPoint* point, const char* text,
                              const HsiTextAttributes* attributes, int16_t mode);
/* Puts a picture of the list's objects on the clipboard. */
HSI_API HsiStatus HsiEditCopy(int16_t list);
HSI_API HsiStatus HsiEditMove(int32_t id, int32_t dx, int32_t dy, int16_t mode);
HSI_API HsiStatus HsiEditDelete(int32_t id);
HSI_API HsiStatus HsiEditDraw(int32_t id, int16_t mode);

/* ---- Text ----------------------------------------------------------------------------------- */

HSI_API HsiStatus HsiGetFontName(int16_t font, char* name); /* font 0..4, HSI_FONT_NAME_SIZE */
HSI_API HsiStatus HsiGetTrueTypeInfo(HsiTrueTypeSettings* settings);
HSI_API HsiStatus HsiSetTrueTypeInfo(const HsiTrueTypeSettings* settings);

/* ---- Symbols, files and references ---------------------------------------------------------- */

/* Loads symbol file `name` from `folder` (mode 4 2D, 5 3D; `flag` HSI_TRUE). Returns the symbol
 * id, or HSI_FAILURE. A symbol already loaded is loaded again from the file. */
HSI_API int32_t HsiLoadSymFile(int16_t mode, const char* folder, const char* name, uint16_t flag);
/* The id of the loaded symbol `name` (mode 10 2D, 11 3D), or HSI_FAILURE when not loaded. */
HSI_API int32_t HsiSymbolFind(int16_t mode, const char* name);
HSI_API HsiStatus HsiSetSymInfo(uint16_t selector, const HsiSymbolInfo* info);
/* Places an instance of symbol `symbol` at `point`; `flag` HSI_FINAL or HSI_TEMPORARY.
 * Returns the new object's id, or HSI_FAILURE. */
HSI_API int32_t HsiPutInstance(int32_t symbol, const HsiPoint* point, double scaleX, double scaleY,
                               double scaleZ, double rotation, double rotationY, double rotationZ,
                               uint16_t flag);
/* Loads a drawing (HSI_LOAD_DRAWING) or a layer file (HSI_LOAD_LAYERS). `options` may be null. */
HSI_API HsiStatus HsiLoadFile(const char* path, int16_t kind, const HsiLoadOptions* options);
HSI_API HsiStatus HsiGetReferenceBuffer(HsiReferenceRecord* record, int16_t index);
HSI_API HsiStatus HsiGetReferenceInformation(HsiReferenceInfo* info);
HSI_API HsiStatus HsiSetReferenceInformation(const HsiReferenceRecord* record, int16_t index);
HSI_API HsiStatus HsiRefRegen(uint16_t flag);

/* ---- Commands and messages ------------------------------------------------------------------ */

/* Starts host command `command`; `x` and `y` are the caller's variables (not read). */
HSI_API HsiStatus HsiMenuEntry(int16_t command, int16_t* x, int16_t* y);
HSI_API HsiStatus HsiNestedMenuEntry(int16_t command, int16_t* x, int16_t* y);
HSI_API HsiStatus HsiCustomCallback(const char* title, int32_t flag);
HSI_API HsiStatus HsiRunMacro(const char* file);
HSI_API HsiStatus HsiClearMenuEvent(void);
HSI_API HsiStatus HsiClearMenuSelection(void);
HSI_API HsiStatus HsiPutMsg(const char* text);
HSI_API HsiStatus HsiStatusLineUpdate(void);
HSI_API HsiStatus HsiRedraw(void);

#ifdef __cplusplus
}
#endif

#endif /* HSI_HSI_H */
