/*
 * uvt.h - the public interface of the uvt variable-table library.
 *
 * A host application creates variable tables, edits them through its design
 * grid (dfn* exports), keeps them as saved-state strings or FORTRAN files
 * (UVT* and dfn* exports) and lays their values out over its Integer, Real and
 * Character work arrays at run time (rtm* exports).
 *
 * Plain C; compiles as C99 and as C++. On Windows VARIANT, BSTR and GUID come
 * from the system headers; elsewhere this header declares compatible
 * stand-ins, which the library itself exports.
 *
 * A host can be written from this header alone. It is laid out as follows:
 * the version; the codes a host passes or receives (UVT_* constants); the
 * OLE Automation stand-ins and the rules for text in VARIANTs; the routines
 * the host installs and the configuration interface it implements, with
 * what each call passes and what each answer does; then every export, with
 * its arguments, its result, who owns what it hands over and for how long,
 * and every message it can answer, quoted exactly.
 *
 * Conventions that hold throughout:
 *
 *   - A table, a runtime node and every other block is addressed by a
 *     memory handle (uintptr_t) from the host's allocate routine; 0 means
 *     none. A null or unresolvable table handle is harmless everywhere: the
 *     export does nothing and answers as stated.
 *   - Design-time exports (dfn*) answer UTF-16 text in a VARIANT; the
 *     caller owns and frees it. Run-time exports (rtm*) answer a constant
 *     8-bit message owned by the library, or null for success, and write
 *     their outputs only on success.
 *   - Texts in double quotes below are the library's texts, byte for byte:
 *     "\n" is one line feed (U+000A), "\r\n" a carriage return and a line
 *     feed. Texts the grid accepts are compared exactly, with case:
 *     "Real" is accepted, "real" is refused.
 *   - The library starts no threads and takes no locks: call it from one
 *     thread at a time.
 */
#ifndef UVT_H
#define UVT_H

#include <stddef.h>
#include <stdint.h>

/* The version of this header and of the library it came with. A host can
 * test these at compile time; the project's build reads them from here, so
 * they are the one place the version is written. */
#define UVT_VERSION_MAJOR 0
#define UVT_VERSION_MINOR 1
#define UVT_VERSION_PATCH 0
#define UVT_VERSION "0.1.0"

/* =====================================================================
 * Codes
 * ===================================================================== */

/* The five columns of the design grid, as dfnSetValue, dfnGetValue,
 * dfnCountValidStrings and dfnGetValidString number them. */
#define UVT_COLUMN_NAME 0      /* variable name */
#define UVT_COLUMN_TYPE 1      /* "Integer", "Real", ... */
#define UVT_COLUMN_DIMENSION 2 /* "Scalar", ... or the name of an Integer row */
#define UVT_COLUMN_DEPTH 3     /* structure depth, in decimal */
#define UVT_COLUMN_IO 4        /* "Input Only", ... */

/* Type codes, each with the display text that column 1 shows and accepts.
 * The first three are also the value types of run-time values and the
 * array numbers of resizeArray and storeElement (see UVT_ARRAY_*). */
enum {
    UVT_TYPE_INTEGER = 0,   /* "Integer" */
    UVT_TYPE_REAL = 1,      /* "Real" */
    UVT_TYPE_CHARACTER = 2, /* "Character" */
    UVT_TYPE_STRUCTURE = 3  /* "Structure" */
};

/* Dimension codes, each with the display text that column 2 shows and
 * accepts, in the order of the fixed entries of its choice list. A row's
 * dimension may also be another row: column 2 then shows and accepts that
 * Integer row's name (upper case), and the array has as many elements as
 * that variable's value. Every code below UVT_DIM_SCALAR is a count the host
 * supplies through querySize. The codes -3 to -12, -17 to -22 and below -26
 * are not used. */
enum {
    UVT_DIM_SCALAR = -1,                   /* "Scalar" */
    UVT_DIM_COMPONENTS = -2,               /* "Number of Components" */
    UVT_DIM_INLET_STREAMS = -13,           /* "Number of Inlet Streams" */
    UVT_DIM_MATERIAL_INLET_STREAMS = -14,  /* "Number of Material Inlet Streams" */
    UVT_DIM_HEAT_INLET_STREAMS = -15,      /* "Number of Heat Inlet Streams" */
    UVT_DIM_WORK_INLET_STREAMS = -16,      /* "Number of Work Inlet Streams" */
    UVT_DIM_OUTLET_STREAMS = -23,          /* "Number of Outlet Streams" */
    UVT_DIM_MATERIAL_OUTLET_STREAMS = -24, /* "Number of Material Outlet Streams" */
    UVT_DIM_HEAT_OUTLET_STREAMS = -25,     /* "Number of Heat Outlet Streams" */
    UVT_DIM_WORK_OUTLET_STREAMS = -26      /* "Number of Work Outlet Streams" */
};
/* Entries 0 to 9 of the dimension choice list are the ten texts above;
 * entry UVT_DIM_FIXED_CHOICES + k is the name of the k-th Integer row above
 * the edited one. */
enum { UVT_DIM_FIXED_CHOICES = 10 };

/* IO codes, each with the display text that column 4 shows and accepts. */
enum {
    UVT_IO_INPUT = 1,  /* "Input Only" */
    UVT_IO_OUTPUT = 2, /* "Output Only" */
    UVT_IO_BOTH = 3    /* "Input and Output" */
};

/* Structure depth: 0 (top level) to UVT_DEPTH_MAX, shown and entered as
 * decimal digits. */
enum { UVT_DEPTH_MAX = 8 };

/* The longest variable name the grid accepts, and the longest function
 * name, in characters. */
enum { UVT_NAME_MAX = 16, UVT_FUNCTION_NAME_MAX = 8 };

/* The parent of a top-level row, as the text form carries it. */
enum { UVT_NO_PARENT = -50 };

/* Direction selectors of the by-row run-time exports. A value belongs to
 * the input direction when its IO is Input Only or Input and Output, to the
 * output direction when it is Output Only or Input and Output: an Input and
 * Output value is a row of both. Any other selector is refused. */
enum { UVT_DIRECTION_INPUT = 0, UVT_DIRECTION_OUTPUT = 1 };

/* Handle filters of rtmGetFirstHandle, rtmGetNextHandle and
 * rtmGetElementByHandle: which values, by their IO code, pass. Any other
 * filter lets no value pass. */
enum {
    UVT_FILTER_ANY = -1,             /* every value */
    UVT_FILTER_INPUT = 0,            /* not Output Only: Input Only or Input and Output */
    UVT_FILTER_OUTPUT = 1,           /* not Input Only: Output Only or Input and Output */
    UVT_FILTER_INPUT_ONLY = 2,       /* Input Only */
    UVT_FILTER_OUTPUT_ONLY = 3,      /* Output Only */
    UVT_FILTER_INPUT_AND_OUTPUT = 4  /* Input and Output */
};

/* Array numbers of resizeArray and storeElement, the same as the value
 * types. UVT_ARRAY_REPLACING is the array number of the one storeElement
 * call with which rtmReplaceTable announces a replacement (element 0, no
 * value); the host's answer to it is ignored. */
enum {
    UVT_ARRAY_INTEGER = 0,
    UVT_ARRAY_REAL = 1,
    UVT_ARRAY_CHARACTER = 2,
    UVT_ARRAY_REPLACING = -1
};

/* In the Integer array given to rtmAttachArrays: the variable has no value. */
enum { UVT_NO_VALUE = 99999999 };

/* The code of querySize(NULL, UVT_QUERY_BYTE_ORDER), which rtmSetCellValue
 * asks on every call. The answer UVT_BYTE_ORDER_BIG_ENDIAN means that the
 * name words carry their first character in the most significant byte;
 * any other answer, the least significant byte. */
enum { UVT_QUERY_BYTE_ORDER = -50, UVT_BYTE_ORDER_BIG_ENDIAN = 4 };

/* The phases of replaceEvent: rtmReplaceTable begins and has finished. */
enum { UVT_REPLACE_BEGIN = 0, UVT_REPLACE_END = 1 };

/* The kinds of value UVTFromText asks its token source for, and the room in
 * bytes, terminator included, of the two text destinations. */
enum {
    UVT_TOKEN_TEXT = 0,
    UVT_TOKEN_INT32 = 1,
    UVT_TOKEN_FUNCTION_NAME_SIZE = 16,
    UVT_TOKEN_NAME_SIZE = 20
};

/* The eight columns of rtmSetCellValue: those of a variable in the integer
 * table of a generated FORTRAN function. */
enum {
    UVT_CELL_NAME_WORD_0 = 0, /* name characters 1-4 */
    UVT_CELL_NAME_WORD_1 = 1, /* name characters 5-8 */
    UVT_CELL_NAME_WORD_2 = 2, /* name characters 9-12 */
    UVT_CELL_NAME_WORD_3 = 3, /* name characters 13-16 */
    UVT_CELL_TYPE = 4,
    UVT_CELL_DIMENSION = 5,
    UVT_CELL_DEPTH = 6,
    UVT_CELL_IO = 7
};

/* Buffer sizes, in bytes with the terminator: a function name as
 * rtmGetFunction copies it; a buffer that holds every label; the longest
 * path the FORTRAN exports take, once converted to 8-bit text. */
enum { UVT_FUNCTION_NAME_BUFFER = 16, UVT_LABEL_BUFFER = 512, UVT_PATH_BUFFER = 160 };

/* The runtime handle that rtmIsHandleValid refuses besides 0, on every
 * platform. */
#define UVT_INVALID_HANDLE ((uintptr_t)0x0FFFFFFF)

/* =====================================================================
 * Platform
 * ===================================================================== */

#ifdef _WIN32
#  include <windows.h>
#  include <oleauto.h>
#  define UVT_CALL __stdcall
#  define UVT_HOSTCALL __cdecl
#  ifdef UVT_BUILDING_LIBRARY
#    define UVT_API
#  else
#    define UVT_API __declspec(dllimport)
#  endif
#else
#  define UVT_CALL
#  define UVT_HOSTCALL
#  if defined(UVT_BUILDING_LIBRARY)
#    define UVT_API __attribute__((visibility("default")))
#  else
#    define UVT_API
#  endif
#endif

/* A VARIANT-returning export gives its result through a hidden pointer that
 * the callee removes from the stack, as Microsoft's compiler does. GCC's
 * mingw targets assume the opposite unless told. */
#if defined(_WIN32) && defined(__GNUC__) && defined(__i386__)
#  define UVT_VARIANT_RESULT __attribute__((callee_pop_aggregate_return(1)))
#else
#  define UVT_VARIANT_RESULT
#endif

#ifdef __cplusplus
extern "C" {
#endif

#ifndef _WIN32
/* Stand-ins for the OLE Automation types with the Windows layout. */
#  ifdef __cplusplus
typedef char16_t OLECHAR;
#  else
typedef uint_least16_t OLECHAR;
#  endif
typedef OLECHAR* BSTR;       /* points just past a 32-bit byte-length prefix */
typedef uint16_t VARTYPE;

/* The type tags a host is likely to pass. Only VT_BSTR and
 * VT_BSTR | VT_BYREF carry text for the library; see "Text arguments". */
enum { VT_EMPTY = 0, VT_NULL = 1, VT_I4 = 3, VT_R8 = 5, VT_BSTR = 8, VT_BYREF = 0x4000 };

/* Declared apart so that no compiler sees a type declared inside the
 * anonymous union below. */
typedef struct UvtVariantRecord {
    void* pvRecord;
    void* pRecInfo;
} UvtVariantRecord;

typedef struct tagVARIANT {
    VARTYPE  vt;
    uint16_t wReserved1;
    uint16_t wReserved2;
    uint16_t wReserved3;
#  if defined(__GNUC__) && !defined(__cplusplus)
    __extension__
#  endif
    union {
        BSTR    bstrVal;
        BSTR*   pbstrVal; /* VT_BSTR | VT_BYREF */
        int32_t lVal;
        double  dblVal;
        void*   byref;
        UvtVariantRecord brecVal;
    };
} VARIANT;

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t  Data4[8];
} GUID;

/* With the Windows semantics: SysAllocString copies a NUL-terminated text
 * (NULL for NULL), SysAllocStringLen copies length characters (zeros for
 * a NULL text) and adds the terminator, SysFreeString ignores NULL,
 * SysStringLen counts characters (0 for NULL), VariantInit makes VT_EMPTY,
 * VariantClear frees a VT_BSTR's string and leaves VT_EMPTY. */
UVT_API BSTR     SysAllocString(const OLECHAR* text);
UVT_API BSTR     SysAllocStringLen(const OLECHAR* text, uint32_t length);
UVT_API void     SysFreeString(BSTR text);
UVT_API uint32_t SysStringLen(BSTR text);
UVT_API void     VariantInit(VARIANT* variant);
UVT_API int32_t  VariantClear(VARIANT* variant);
#endif

/* ---------------------------------------------------------------------
 * Text in VARIANTs.
 *
 * Results. A design-time export starts its result as VT_EMPTY and, when it
 * has text to give, makes it VT_BSTR with a new BSTR from SysAllocString.
 * The caller owns that BSTR and frees it, normally with VariantClear; the
 * library never looks at a result again. VT_EMPTY (nothing to say, or the
 * request cannot be served) is not the same as an empty text (a BSTR of
 * length 0), which answers "complete" or "accepted" where stated. Messages
 * for the user have "\n" between their paragraphs.
 *
 * Text arguments (dfnSetValue, dfnDumpFORTRAN, dfnSetFunctionName,
 * dfnLoadFromFORTRAN, dfnImportFortran) are VARIANTs passed by value:
 *   - VT_BSTR: the BSTR is the text;
 *   - VT_BSTR | VT_BYREF: the BSTR that the union's pointer points at is
 *     the text (a null pointer is the empty text);
 *   - VT_EMPTY, VT_NULL and every other type are the empty text; their
 *     union is never read as a string;
 *   - a null BSTR is the empty text.
 * The library does not free an argument, keeps nothing of it after the
 * call, and writes into it only where stated (dfnSetValue upper-cases a
 * name in the caller's own string, also through VT_BYREF).
 * ------------------------------------------------------------------- */

/* =====================================================================
 * Host routines
 *
 * Records of routine pointers that the host installs with SetExtRoutines,
 * SetExtSymsize and SetExtUVTEvents. Every routine is called with the
 * caller-cleans (cdecl) convention. Until the host installs a routine a
 * built-in default serves: process memory, every host count 1, no
 * refusals, no events.
 * ===================================================================== */

/* Memory. Handles are opaque to the library: it stores only handles, turns
 * one into an address through resolve each time it needs it and uses that
 * address only within the current call, so a host may move a block between
 * calls (except while it holds a value pointer into it, see "Run time:
 * reading").
 *
 *   allocate(size) -> a handle for size bytes, 0 when there is no memory.
 *     Sizes with 32-bit pointers: 88 a table, 44 a row, 4 per slot of a
 *     table's row list, 48 a runtime node, the length + 1 of a node's name
 *     or text, 24 per value for an element array; with 64-bit pointers the
 *     records that hold handles grow.
 *   release(handle, size): the block goes back with exactly the size it
 *     was obtained or last reallocated with.
 *   resolve(handle) -> the block's address.
 *   reallocate(handle, oldSize, newSize) -> the handle of a block of
 *     newSize bytes that begins with the old contents, or 0 when there is
 *     no memory, in which case the old block must stay as it was. When the
 *     host installs none, the library allocates, copies and releases
 *     through the other three.
 *
 * Do not change the memory routines while any table exists. */
typedef struct UvtMemoryRoutines {
    uintptr_t (UVT_HOSTCALL *allocate)(int32_t size);
    void      (UVT_HOSTCALL *release)(uintptr_t handle, int32_t size);
    void*     (UVT_HOSTCALL *resolve)(uintptr_t handle);
    uintptr_t (UVT_HOSTCALL *reallocate)(uintptr_t handle, int32_t oldSize, int32_t newSize);
} UvtMemoryRoutines;

/* Symbol sizes and the host's work arrays. hostValues points to the
 * table's copy of the two values given to CreateUVT (the library never
 * interprets them), except in querySize(NULL, UVT_QUERY_BYTE_ORDER).
 *
 *   querySize(hostValues, code) -> a count.
 *     For a UVT_DIM_* code below UVT_DIM_SCALAR: the number of elements of
 *     an array of that dimension; a negative answer counts as 0. It is asked
 *     whenever the table is laid out (binding, rtmSetSymSize, an Integer
 *     write, rtmReplaceTable), once per array row and, inside a structure
 *     array, once per element. For UVT_QUERY_BYTE_ORDER with a null
 *     hostValues: UVT_BYTE_ORDER_BIG_ENDIAN or anything else (see
 *     rtmSetCellValue). Default: 1.
 *
 *   resizeArray(hostValues, array, count) -> NULL to accept, or a message.
 *     The host's array UVT_ARRAY_INTEGER, _REAL or _CHARACTER is to hold
 *     count values from now on. Binding, rtmSetSymSize, rtmReplaceTable and
 *     every change that is passed on call it for each array whose size
 *     changed and ignore the answer. An Integer write whose value sizes
 *     arrays asks it first, array by array, and a message refuses the
 *     write: the arrays asked before are told their old sizes again (the
 *     refused one first) and the write answers the formatted text given at
 *     "Run time: writing". The library copies the message before it calls
 *     any host routine again, so the text need stay valid only until then.
 *     The same call may come more than once. Default: NULL.
 *
 *   storeElement(hostValues, array, element, value) -> NULL, or a message.
 *     Value number element of the array has changed. element is the
 *     value's place, counted from 0 (not the 1-based element number that
 *     rtmGetElementByRow reports). value points to an int32_t (Integer), a
 *     double (Real) or the NUL-terminated 8-bit text itself, a char*
 *     (Character); NULL means that the value has none. The pointer is valid
 *     for the duration of the call only: copy what you keep. After an array
 *     shrank, each element past the new count is sent once with NULL.
 *     A message stops the sending of further values in that pass. Only a
 *     Real write passes it on: it sends the previous value back (a further
 *     storeElement call) and then answers the host's pointer unchanged, so
 *     that text must stay valid after that further call, until the host has
 *     read the write's result. Everywhere else the answer is ignored.
 *     rtmReplaceTable calls it once with UVT_ARRAY_REPLACING, element 0 and
 *     NULL. rtmAttachArrays does not call it. Default: NULL.
 *
 * The library never frees a message that the host returns. */
typedef struct UvtSymsizeRoutines {
    int32_t     (UVT_HOSTCALL *querySize)(int32_t* hostValues, int32_t code);
    const char* (UVT_HOSTCALL *resizeArray)(int32_t* hostValues, int32_t array, int32_t count);
    const char* (UVT_HOSTCALL *storeElement)(int32_t* hostValues, int32_t array, int32_t element,
                                             const void* value);
} UvtSymsizeRoutines;

/* Events.
 *
 *   releaseEvent(): runtime nodes or a whole table were released, so
 *     runtime handles and value pointers the host holds may be stale. It
 *     comes at most once per export, when the export's work is done.
 *     Of the design-time and persistence exports only DeleteUVT raises
 *     it, and it always does.
 *   replaceEvent(phase): UVT_REPLACE_BEGIN when rtmReplaceTable begins,
 *     UVT_REPLACE_END when it has finished (before its releaseEvent).
 *
 * Default: nothing. */
typedef struct UvtEventRoutines {
    void (UVT_HOSTCALL *releaseEvent)(void);
    void (UVT_HOSTCALL *replaceEvent)(int32_t phase);
} UvtEventRoutines;

/* The text form (UVTToText, UVTFromText), cdecl like the routines above.
 *
 *   sink(line): one NUL-terminated 8-bit line, valid during the call only.
 *   source(kind, destination) -> nonzero when it delivered a value, 0 when
 *     it has none. For UVT_TOKEN_TEXT it stores a NUL-terminated text at
 *     destination, for UVT_TOKEN_INT32 an int32_t. The destination's room
 *     is not passed: a function name has UVT_TOKEN_FUNCTION_NAME_SIZE
 *     bytes, a row name UVT_TOKEN_NAME_SIZE, terminator included, and the
 *     source must not write more. */
typedef void    (UVT_HOSTCALL *UvtTextSink)(const char* line);
typedef int32_t (UVT_HOSTCALL *UvtTokenSource)(int32_t kind, void* destination);

/* =====================================================================
 * The configuration interface
 *
 * The host keeps each table's saved-state string in a COM object of its
 * own and attaches it with UVTSetConfigInterface. The object is any pointer
 * to a pointer to this table of eleven slots, each __stdcall on 32-bit
 * Windows with the interface pointer first. Slots 4 and 8 are never called
 * (they may be null).
 *
 *   QueryInterface(iid, out): asked once, with the identifier below, when
 *     the object is attached. Store the interface pointer in *out and take
 *     a reference on it (as COM's QueryInterface does); leave *out null to
 *     refuse. Its result is ignored.
 *   AddRef(): never called by the library.
 *   Release(): gives back the one reference the table holds: when another
 *     object is attached, the object is detached, or the table is deleted.
 *   BeginSave(): a new string begins and replaces the stored one. Its
 *     result is ignored.
 *   SaveBytes(bytes, length): append length bytes (not NUL-terminated,
 *     valid during the call only) to the string. UVTSave returns the result
 *     of the last SaveBytes call, and so do dfnInsertRow and
 *     dfnSetFunctionName whenever they saved. dfnInsertRow reports failure
 *     as 0, so a SaveBytes that answers 0 (as COM's S_OK is) makes every
 *     insertion look failed: answer a nonzero value, such as 1, on
 *     success.
 *   BeginRestore(): reading starts again at the beginning of the stored
 *     string. Its result is ignored.
 *   RestoreBytes(buffer, count, delivered): copy up to count bytes from
 *     the read position into buffer, advance the position, and store the
 *     number copied in *delivered (0 at the end, which ends the restore;
 *     *delivered starts at 0, a negative number counts as 0, one above
 *     count as count). Its result is ignored.
 *   BeginRestoreRB(), RestoreBytesRB(...): the same over a second source,
 *     which UVTRestoreRB reads and nothing else touches. What it holds is
 *     the host's choice (for instance a definition kept apart from the
 *     current one); a host with one string may serve it from the same one.
 *     Saving always writes through BeginSave and SaveBytes.
 *
 * The saved-state string: a header "<row count>$<first host value>#<time
 * stamp>#<name length>$<function name>", then per row "<name
 * length>$<name><type>$<dimension>$<depth>$<IO>$" with the codes above and
 * a row's dimension as the row number of the row it names (-1 when none).
 * It carries the first of the two host values given to CreateUVT, which
 * is written but never read back; the second, the rows' ids and their
 * parent links are not in it.
 * ===================================================================== */
typedef struct UvtConfigInterface UvtConfigInterface;

typedef struct UvtConfigInterfaceVtbl {
    int32_t  (UVT_CALL *QueryInterface)(UvtConfigInterface* self, const GUID* iid, void** out);
    uint32_t (UVT_CALL *AddRef)(UvtConfigInterface* self);
    uint32_t (UVT_CALL *Release)(UvtConfigInterface* self);
    int32_t  (UVT_CALL *BeginSave)(UvtConfigInterface* self);
    void*    unused4;
    int32_t  (UVT_CALL *RestoreBytesRB)(UvtConfigInterface* self, char* buffer, int32_t count,
                                        int32_t* delivered);
    int32_t  (UVT_CALL *SaveBytes)(UvtConfigInterface* self, const char* bytes, int32_t length);
    int32_t  (UVT_CALL *BeginRestoreRB)(UvtConfigInterface* self);
    void*    unused8;
    int32_t  (UVT_CALL *RestoreBytes)(UvtConfigInterface* self, char* buffer, int32_t count,
                                      int32_t* delivered);
    int32_t  (UVT_CALL *BeginRestore)(UvtConfigInterface* self);
} UvtConfigInterfaceVtbl;

struct UvtConfigInterface {
    const UvtConfigInterfaceVtbl* vtbl;
};

/* The interface identifier, {8AD467D4-0C32-11D2-9B42-0000C07EE8F2}, as an
 * initialiser: static const GUID id = UVT_CONFIG_INTERFACE_ID_INIT; */
#define UVT_CONFIG_INTERFACE_ID_INIT \
    { 0x8AD467D4u, 0x0C32u, 0x11D2u, { 0x9Bu, 0x42u, 0x00u, 0x00u, 0xC0u, 0x7Eu, 0xE8u, 0xF2u } }

/* =====================================================================
 * Host set-up
 *
 * Install before the first table is made. Within a record, a null entry
 * keeps the routine in place (the default, or what an earlier call
 * installed). The library copies the routine pointers; the record need not
 * outlive the call.
 * ===================================================================== */

/* Installs allocate, release, resolve and reallocate. A null record
 * changes nothing. */
UVT_API void UVT_CALL SetExtRoutines(const UvtMemoryRoutines* routines);
/* Installs querySize, resizeArray and storeElement. A null record changes
 * nothing. */
UVT_API void UVT_CALL SetExtSymsize(const UvtSymsizeRoutines* routines);
/* Installs releaseEvent and replaceEvent; a null record turns both off. */
UVT_API void UVT_CALL SetExtUVTEvents(const UvtEventRoutines* routines);

/* =====================================================================
 * Table life
 * ===================================================================== */

/* Creates an empty table: no rows, no function name, the current time as
 * its time stamp. hostIds points to two values (may be null: 0 and 0) that
 * the table keeps and hands back, by address, to the symbol-size routines;
 * the first is also written into the saved-state string. Returns the
 * table's memory handle, which the host owns and ends with DeleteUVT, or 0
 * when no memory could be had. */
UVT_API uintptr_t UVT_CALL CreateUVT(const int32_t* hostIds);
/* Releases the table, its rows, its run-time state and its reference on the
 * configuration interface (Release; nothing is saved), and raises
 * releaseEvent once. Every runtime handle and value pointer of the table
 * ends with it. A null handle is ignored. */
UVT_API void UVT_CALL DeleteUVT(uintptr_t table);
/* Number of rows; 0 for a null table. */
UVT_API int32_t UVT_CALL dfnCountRows(uintptr_t table);

/* =====================================================================
 * Design-time editing
 *
 * Rows are numbered from 0; row number dfnCountRows() is the grid's
 * trailing empty row. A change that is taken ends with the save step: when
 * a configuration interface is attached and no restore is running, the
 * table's time stamp is renewed and the whole saved-state string is
 * written (UVTSave).
 * ===================================================================== */

/* Validates one cell, given as text (see "Text arguments"), and stores it.
 *
 * Result: VT_EMPTY when the text was taken as given; otherwise one of
 * these texts, which the caller frees:
 *   any column, row outside 0 .. dfnCountRows() - 1:
 *     "Invalid row number"
 *   UVT_COLUMN_NAME: letters a-z are first upper-cased in the caller's own
 *     string. An empty text clears the name (VT_EMPTY, no save). A refused
 *     name also clears it, without saving:
 *     "Variable name must begin with a letter.\n\nPlease check the variable and enter again."
 *     "Variable names are limited to letters, digits, and '_'.\n\nPlease check the variable and enter again."
 *     "Variable names are limited to 16 characters.\n\nPlease check the variable and enter again."
 *     "Variable already exists"   (an earlier row has the name)
 *   UVT_COLUMN_TYPE: one of the four type texts; otherwise the type stays:
 *     "Invalid type.\n\nType will remain unchanged."
 *   UVT_COLUMN_DIMENSION: one of the ten dimension texts, or the name of an
 *     Integer row (anywhere in the table, this one included; upper case as
 *     stored); otherwise the dimension stays:
 *     "Invalid dimension.\n\nDimension unchanged."
 *   UVT_COLUMN_DEPTH: decimal digits only, 0 to UVT_DEPTH_MAX, the empty
 *     text counting as 0; above 0 not on row 0. Otherwise the depth stays:
 *     "Invalid depth. Depth must be between 0 and 8.\n\nSetting depth to default value"
 *     The parent is looked for among the earlier rows; a depth without one
 *     is taken, and dfnIsRowComplete reports it.
 *   UVT_COLUMN_IO: one of the three IO texts; otherwise the IO becomes
 *     Input Only:
 *     "Invalid IO,\n\nsetting to default (Input Only)"
 *   any other column: an empty text.
 * VT_EMPTY also for a null table or a row without a record.
 *
 * Type, dimension and IO texts are compared exactly, with case: the texts
 * that dfnGetValidString offers are taken, "Real" is a type and "real" is
 * not. reserved is neither read nor written. */
UVT_API VARIANT UVT_CALL dfnSetValue(uintptr_t table, int32_t column, int32_t row, VARIANT value,
                                     int32_t* reserved) UVT_VARIANT_RESULT;
/* The display text of one cell: the name; a type, dimension or IO text
 * above (an empty text for a code outside them); the name of the row a
 * dimension names; the depth in decimal. A dimension whose row was deleted
 * or has no name shows "Scalar" and becomes scalar (without saving). The
 * trailing row shows "", "Real", "Scalar", "0" and "Input Only". An empty
 * text for a column outside 0-4; VT_EMPTY for a null table, a table
 * without rows, or a row outside 0 .. dfnCountRows(). */
UVT_API VARIANT UVT_CALL dfnGetValue(uintptr_t table, int32_t column, int32_t row) UVT_VARIANT_RESULT;
/* Inserts a row at position (below 0: at the top; above the row count: at
 * the end): no name, "Real", "Scalar", the depth of the row above it (0 at
 * the top), "Input Only". Returns 0 for a null table or when no memory
 * could be had; otherwise the result of the save step's last SaveBytes,
 * or 1 when nothing was saved. */
UVT_API int32_t UVT_CALL dfnInsertRow(uintptr_t table, int32_t position);
/* Deletes one row and saves. Rows whose dimension or parent named it keep
 * the reference until dfnGetValue or dfnIsRowComplete repairs it. Returns 1
 * when a row was deleted, 0 otherwise (nothing saved). */
UVT_API int32_t UVT_CALL dfnDeleteRow(uintptr_t table, int32_t row);
/* An empty text when the row is complete, else one of:
 *   "Invalid row number"   (the trailing row included)
 *   "Empty Row"
 *   "Invalid variable name"   (empty, or an earlier row has it)
 *   "Parent of this row is missing, must set the depth to 0"
 *   "Depth of this row is not compatible with its parent."
 *   "Parent of this row must has type Struct."
 * A nested row is linked to the nearest earlier Structure row one level
 * up when its own link no longer fits. VT_EMPTY for a null table. */
UVT_API VARIANT UVT_CALL dfnIsRowComplete(uintptr_t table, int32_t row) UVT_VARIANT_RESULT;
/* An empty text when every row is complete; else the first incomplete
 * row's message, or "Empty form" for a table without rows. The run-time
 * exports bind only a complete table. VT_EMPTY for a null table. */
UVT_API VARIANT UVT_CALL dfnIsComplete(uintptr_t table) UVT_VARIANT_RESULT;
/* Number of drop-down entries of a cell: UVT_COLUMN_TYPE 4,
 * UVT_COLUMN_IO 3, UVT_COLUMN_DIMENSION UVT_DIM_FIXED_CHOICES plus one per
 * Integer row above the row (for the trailing row or beyond: above the
 * last row); 0 for the other columns, a null table or a row below 0. */
UVT_API int32_t UVT_CALL dfnCountValidStrings(uintptr_t table, int32_t column, int32_t row);
/* One drop-down entry, from 0: the type texts in code order, the IO texts
 * in code order (entry = code - 1), the dimension texts in the order of
 * UVT_DIM_* and then the Integer rows' names. Every entry can be given
 * back to dfnSetValue unchanged. An empty text when entry or row is out of
 * range (row above dfnCountRows()); VT_EMPTY for a null table. */
UVT_API VARIANT UVT_CALL dfnGetValidString(uintptr_t table, int32_t column, int32_t row,
                                           int32_t entry) UVT_VARIANT_RESULT;

/* =====================================================================
 * Persistence
 * ===================================================================== */

/* Writes the saved-state string through the attached configuration
 * interface: BeginSave, then SaveBytes with the header and once per row.
 * Returns the last SaveBytes result; 0 for a null table or without an
 * interface. */
UVT_API int32_t UVT_CALL UVTSave(uintptr_t table);
/* Rebuilds rows from the saved-state string read through BeginRestore and
 * RestoreBytes, cell by cell as the grid would (refused cells are handled
 * as dfnSetValue says; no message reaches the host, nothing is saved).
 * The time stamp and function name come from the string, the host values
 * stay. Rows already in the table follow the restored ones. The data
 * ending early keeps the rows read so far. Returns the row count when
 * every announced row (at least one) was read, else 0; 0 without an
 * interface, which reads nothing. */
UVT_API int32_t UVT_CALL UVTRestore(uintptr_t table);
/* As UVTRestore, through BeginRestoreRB and RestoreBytesRB. */
UVT_API int32_t UVT_CALL UVTRestoreRB(uintptr_t table);
/* Passes the table's records to sink in decimal, one call per line: first
 * "\n<function name, or NONAME> <time stamp> <row count>\n" (so the text
 * begins with an empty line), then per row "<id> <name> <type> <dimension>
 * <depth> <IO> <parent id>\n", with the dimension and the parent as row ids
 * (UVT_NO_PARENT for none) and nothing for an empty name. Nothing for a
 * null table or sink. */
UVT_API void UVT_CALL UVTToText(uintptr_t table, UvtTextSink sink);
/* Replaces the table's rows with records read from source, in the order
 * UVTToText writes them: function name (text), time stamp, row count,
 * then per row id, name (text), type, dimension, depth, IO, parent id.
 * Nothing is validated. Returns 1 when every value was delivered, else 0
 * (the rows read until then stay); 0 for a null table or source. */
UVT_API int32_t UVT_CALL UVTFromText(uintptr_t table, UvtTokenSource source);
/* Attaches the object's configuration interface (see above; null
 * detaches) and returns the interface now held, null when none. The table
 * keeps that one reference until another object is attached, it is
 * detached or the table is deleted. Nothing is saved or restored. Returns
 * null for a null table. */
UVT_API void* UVT_CALL UVTSetConfigInterface(uintptr_t table, void* object);

/* =====================================================================
 * FORTRAN bridge
 *
 * The table is written as INTEGER FUNCTION name(NVARS,ICOL,IROW), whose
 * DATA statements carry every row: IROW 0 gives the version (the time
 * stamp); IROW 1..NVARS and ICOL 1..8 the four Hollerith words of the name
 * (its first 16 characters), type, dimension (a code, or the row number of
 * the row it names), depth and IO. Paths are text arguments (see "Text
 * arguments") of at most UVT_PATH_BUFFER - 1 bytes once converted to the
 * 8-bit code page; longer ones are refused.
 * ===================================================================== */

/* Names the function after the file (its name after the last "\", "/" or
 * ":", up to the first ".", at most 8 characters, upper-cased; an empty one
 * keeps the old name) as dfnSetFunctionName does, then writes the file in
 * text mode. Returns 0 when written; 1 when the table or path is missing or
 * the file cannot be opened. */
UVT_API int32_t UVT_CALL dfnDumpFORTRAN(uintptr_t table, VARIANT path);
/* Sets the function name, upper-cased (the caller's text is left alone),
 * and runs the save step. Returns the last SaveBytes result when it saved,
 * otherwise the number of bytes stored (1-8); 0 for an empty name or a
 * null table; the length of a name over UVT_FUNCTION_NAME_MAX characters,
 * which is refused. */
UVT_API int32_t UVT_CALL dfnSetFunctionName(uintptr_t table, VARIANT name);
/* Reads such a function into a new table (host values 0 and 0, no
 * configuration interface), row by row as the grid would. Returns the new
 * table, which the host owns, or 0, having released everything, when the
 * file cannot be read completely. */
UVT_API uintptr_t UVT_CALL dfnLoadFromFORTRAN(VARIANT path);
/* Appends the rows of such a function to the table, saving after each
 * change when an interface is attached. The file's function name is taken
 * only when the table has none, its version only when the table had no
 * rows. */
UVT_API void UVT_CALL dfnImportFortran(uintptr_t table, VARIANT path);

/* =====================================================================
 * Run time: binding a complete table to the host's Integer, Real and
 * Character work arrays. The table is laid out as a tree with one value
 * per scalar and per array element; a value's place is its rank, from 0,
 * among the values of its type in tree order (rows in order, an array's
 * elements in order, a structure's members after it), which is its index
 * in the host's array of that type. Sizes reach the host through
 * resizeArray, values through storeElement. None of these report errors;
 * an incomplete table (dfnIsComplete not empty) is not bound.
 * ===================================================================== */

/* Builds the table's layout, dropping any earlier one and its values, asks
 * the host to size its arrays and sends every value (null for none). */
UVT_API void UVT_CALL rtmInitArrays(uintptr_t table);
/* As rtmInitArrays for arrays that already hold values: the k-th Integer
 * and Real values in tree order are taken from ints and reals (UVT_NO_VALUE
 * in ints: no value); Character values start without one. The host's
 * storeElement is not called. Both arrays must hold every value the layout
 * gives a place. */
UVT_API void UVT_CALL rtmAttachArrays(uintptr_t table, const int32_t* ints, const double* reals);
/* Asks the host's counts (components, streams) again and resizes the arrays
 * that depend on them; values are kept. unused is ignored. */
UVT_API void UVT_CALL rtmSetSymSize(uintptr_t table, int32_t unused);
/* target takes over source's definition, keeping its values wherever a
 * variable keeps its name, kind and type, and sends every value again;
 * source's handle is deleted. Bracketed by replaceEvent(UVT_REPLACE_BEGIN)
 * and (UVT_REPLACE_END). An incomplete source changes nothing; the same
 * handle twice does nothing. */
UVT_API void UVT_CALL rtmReplaceTable(uintptr_t target, uintptr_t source);
/* Number of values of a type (UVT_TYPE_INTEGER, _REAL, _CHARACTER); binds a
 * complete table that is not bound yet. 0 for a null table, another type or
 * an incomplete table. */
UVT_API int32_t UVT_CALL rtmGetLimit(uintptr_t table, int32_t type);
/* The same from the table's address (what resolve gives for its handle),
 * without binding anything: 0 when it is not bound or null. */
UVT_API int32_t UVT_CALL rtmGetLimitDirect(void* tableAddress, int32_t type);

/* =====================================================================
 * Run time: addressing values. Messages are constant texts owned by the
 * library (never freed by the host); null means success, and outputs are
 * written only on success.
 *
 * direction: UVT_DIRECTION_INPUT or UVT_DIRECTION_OUTPUT. Run-time row n
 * of a direction is its (n+1)-th value in tree order that belongs to it. A
 * runtime handle is the memory handle of a node of the layout tree; it
 * stays good while that node exists (releaseEvent tells when nodes went).
 * filter: a UVT_FILTER_* code.
 * Path names: names separated by any run of ".", "(" and ")", elements by
 * their number from 1: X, X(3), S.A, S(2).A (also S.2.A, S(2)A).
 * ===================================================================== */

/* Number of run-time rows of a direction; 0 for a null or unbound table or
 * another direction. */
UVT_API int32_t UVT_CALL rtmGetNumberOfRows(uintptr_t table, int32_t direction);
/* The value at a run-time row. "Invalid argument" (null handleOut), "IO
 * argument not supported", "Invalid row number" (also a null or unbound
 * table). */
UVT_API const char* UVT_CALL rtmHandleByRow(uintptr_t table, int32_t row, int32_t direction,
                                            uintptr_t* handleOut);
/* The node that a path names (a value, structure, array or element).
 * "Invalid argument" (null handleOut), "Invalid table", "Arrays not
 * initialized", "Invalid row number" (nothing named). */
UVT_API const char* UVT_CALL rtmHandleByName(uintptr_t table, const char* path, uintptr_t* handleOut);
/* 1 unless handle is 0 or UVT_INVALID_HANDLE; nothing else is looked at. */
UVT_API int32_t UVT_CALL rtmIsHandleValid(uintptr_t table, uintptr_t handle);
/* The first value in tree order that passes filter, or 0 when none does.
 * "Invalid argument", "Invalid table", "Arrays not initialized". */
UVT_API const char* UVT_CALL rtmGetFirstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut);
/* The next value after handle that passes filter, or 0 when none follows;
 * from a structure or array, the next after its whole subtree. "Invalid
 * argument" for 0, UVT_INVALID_HANDLE, a handle that names no node, or a
 * null handleOut. table is not used. Enumerate with rtmGetFirstHandle and
 * then rtmGetNextHandle until the handle fails rtmIsHandleValid. */
UVT_API const char* UVT_CALL rtmGetNextHandle(uintptr_t table, uintptr_t handle, int32_t filter,
                                              uintptr_t* handleOut);

/* =====================================================================
 * Run time: labels, such as X, Y(3), R.D, S(2).T.B, S(2).Z(4), and S.(2).A
 * for a scalar member of an element of a structure array. Every label is a
 * path name for rtmHandleByName. The caller owns the buffer. Bounded copy:
 * with bufferLength > 0 exactly bufferLength bytes are written (the label
 * cut to bufferLength - 1 characters, then NULs); with bufferLength <= 0
 * the whole label and its NUL, which UVT_LABEL_BUFFER bytes always hold.
 * ===================================================================== */

/* "Invalid table", "IO argument not supported", "Arrays not initialized",
 * "Row number is out of bound". buffer is left as it was on failure. */
UVT_API const char* UVT_CALL rtmGetLabelByRow(uintptr_t table, int32_t row, int32_t direction, char* buffer,
                                              int32_t bufferLength);
/* Copies the whole label; the buffer must hold the longest label
 * (UVT_LABEL_BUFFER bytes always do). "Invalid handle" (fails
 * rtmIsHandleValid or names no node), "Invalid argument" (null buffer, or
 * a handle of a structure, array, structure element or the root, which
 * name no value), "Invalid table" (null table, or a node of another
 * table), "Arrays not initialized". An invalid handle leaves the buffer as
 * it was; every later failure leaves the empty text in it. spare is not
 * used. */
UVT_API const char* UVT_CALL rtmGetLabelByHandle(uintptr_t table, uintptr_t handle, char* buffer,
                                                 int32_t spare);
/* The label of the value at place (from 0) of the host array of type, with
 * its IO code (UVT_IO_*) in *ioOut. *ioOut is set to 0 first. Returns
 * buffer, or null when there is no such value (no message). */
UVT_API char* UVT_CALL rtmGetLabel(uintptr_t table, int32_t type, int32_t place, int32_t* ioOut, char* buffer,
                                   int32_t bufferLength);
/* Copies the function name with its NUL (UVT_FUNCTION_NAME_BUFFER bytes
 * hold it) and the time stamp (seconds since 1970); writes nothing for a
 * null table. */
UVT_API void UVT_CALL rtmGetFunction(uintptr_t table, char* nameOut, int32_t* timeStampOut);

/* =====================================================================
 * Run time: reading. A value pointer addresses the value in the library's
 * storage, which the host reads and never frees: an int32_t, a double, or
 * the NUL-terminated text (char*). It is null while the value is not set.
 * Integer and Real pointers last until the value's node goes (releaseEvent,
 * DeleteUVT), a text pointer until the value is written again. They are
 * addresses of blocks the host handed out: a host that moves blocks must
 * not move these while it holds such a pointer.
 * Element numbers count from 1 (place + 1), places from 0.
 *
 * The by-name readers and writers take one variable name (a member by its
 * own name) and an index list: one entry for each array on the way from the
 * top level, outermost first, and one more to pick an element of a named
 * array. Exactly that many entries are read, never more. Entries count from
 * 0 (from 1 in the One_Based exports); an entry below that selects the
 * first element, one past the last means not found. A null list reaches
 * only variables that lie in no array; with an array on the way the name is
 * not found, and a named array is then reported as a structure.
 * ===================================================================== */

/* By run-time row: "IO argument not supported", "Invalid row number",
 * "Invalid argument" (null output). */
UVT_API const char* UVT_CALL rtmGetTypeByRow(uintptr_t table, int32_t row, int32_t* typeOut, int32_t direction);
UVT_API const char* UVT_CALL rtmGetValueByRow(uintptr_t table, int32_t row, void** valueOut, int32_t direction);
UVT_API const char* UVT_CALL rtmGetElementByRow(uintptr_t table, int32_t row, int32_t direction,
                                                int32_t* elementOut);
/* By handle, without looking at table: "Invalid handle" (fails
 * rtmIsHandleValid or names no node), "Invalid argument" (null output, or a
 * handle of a structure, array, structure element or the root). */
UVT_API const char* UVT_CALL rtmGetTypeByHandle(uintptr_t table, uintptr_t handle, int32_t* typeOut);
UVT_API const char* UVT_CALL rtmGetValueByHandle(uintptr_t table, uintptr_t handle, void** valueOut);
/* Also proves that handle is a value of table: "Invalid handle", "Invalid
 * argument" (null elementOut), "Invalid table" (null table or another
 * table's node), "Arrays not initialized", "Invalid argument" (a group node,
 * or a value that fails filter). */
UVT_API const char* UVT_CALL rtmGetElementByHandle(uintptr_t table, uintptr_t handle, int32_t filter,
                                                   int32_t* elementOut);
/* Writes the type and the value pointer. "Invalid table or name" (also for
 * a null output), "Arrays not initialized", "Variable Not Found.", "Variable
 * is a structure.". */
UVT_API const char* UVT_CALL rtmGetVarValueByName(uintptr_t table, const char* name, const int32_t* indexes,
                                                  void** valueOut, int32_t* typeOut);
/* Writes the place (from 0) and the type. "Invalid table or name", "Arrays
 * not initialized", "Variable not found", "Variable is a structure". */
UVT_API const char* UVT_CALL rtmGetVarLocationByName(uintptr_t table, const char* name, const int32_t* indexes,
                                                     int32_t* placeOut, int32_t* typeOut);
/* Number of elements of the named array (indexes for the arrays on the way
 * only); -1 when there is none or it has no elements. Counts indexes from 0. */
UVT_API int32_t UVT_CALL rtmArrayLength(uintptr_t table, const char* name, const int32_t* indexes);
/* As the two above with indexes counted from 1. */
UVT_API const char* UVT_CALL rtmOne_BasedGetVarValueByName(uintptr_t table, const char* name,
                                                           const int32_t* indexes, void** valueOut,
                                                           int32_t* typeOut);
UVT_API const char* UVT_CALL rtmOne_BasedGetVarLocationByName(uintptr_t table, const char* name,
                                                              const int32_t* indexes, int32_t* placeOut,
                                                              int32_t* typeOut);

/* =====================================================================
 * Run time: writing. value points to an int32_t, a double or the text (a
 * NUL-terminated char*) by the variable's type; the library copies it
 * during the call. Null stores 0, 0.0 or the empty text as "no value". The
 * change reaches the host through storeElement. An Integer that sizes
 * arrays first asks resizeArray for every array whose size would change; on
 * a refusal the earlier arrays are told their old sizes again (the refused
 * one first) and the answer is "The storage of this value has resulted in
 * the following error message while storing the size of the <Integer, Real
 * or Character> array:\r\n<host text>", held in one 512-byte buffer of the
 * library until the next such refusal (a longer host text is cut). A Real
 * refused by storeElement answers the host's own text. A refused write
 * changes nothing, not even the value-set flag. A Character value that
 * finds no memory for its copy is not stored: "Not enough memory" (which
 * every message-answering run-time export also gives should it run out of
 * memory of its own). releaseEvent comes at most once per call.
 * ===================================================================== */

/* By type and place: "Invalid table", "Arrays not initialized"; a type
 * other than 0, 1, 2 or a place outside the array writes nothing and
 * answers null. A null value on a value that has none changes nothing. */
UVT_API const char* UVT_CALL rtmSetValue(uintptr_t table, int32_t type, int32_t place, const void* value);
/* By run-time row: "IO argument not supported", "Invalid row number or
 * value.". */
UVT_API const char* UVT_CALL rtmSetValueByRow(uintptr_t table, int32_t row, const void* value, int32_t direction);
/* By handle: "Invalid handle" (fails rtmIsHandleValid, names no node, or a
 * node of another table), "Invalid table", "Arrays not initialized",
 * "Cannot set value to structures" (structure, array, element of a structure
 * array, root). */
UVT_API const char* UVT_CALL rtmSetValueByHandle(uintptr_t table, uintptr_t handle, const void* value);
/* By name: "Invalid table", "Arrays not initialized", "Missing information"
 * (null name or index list, even for a variable in no array), "Name not
 * found", "Cannot set value to structures". Runs the whole write even for a
 * null value. */
UVT_API const char* UVT_CALL rtmSetVarValueByName(uintptr_t table, const char* name, const int32_t* indexes,
                                                  const void* value);
/* As rtmSetVarValueByName with indexes counted from 1. */
UVT_API const char* UVT_CALL rtmOne_BasedSetVarValueByName(uintptr_t table, const char* name,
                                                           const int32_t* indexes, const void* value);
/* Fills one cell of the variable row at rowIndex from a generated function's
 * integer table: columns UVT_CELL_NAME_WORD_0 to _3 the name's four words
 * (first character in the least significant byte, or in the most
 * significant one when querySize(NULL, UVT_QUERY_BYTE_ORDER) answers
 * UVT_BYTE_ORDER_BIG_ENDIAN; asked on every call; trailing blanks end the
 * name), UVT_CELL_TYPE, UVT_CELL_DIMENSION (a code, or a row's id, which
 * is its row number in a table built row by row from empty), UVT_CELL_DEPTH
 * and UVT_CELL_IO stored as given. Unchecked; no save step, no layout, no
 * event. */
UVT_API void UVT_CALL rtmSetCellValue(uintptr_t table, int32_t rowIndex, int32_t column, int32_t value);

#ifdef __cplusplus
}
#endif

#endif /* UVT_H */
