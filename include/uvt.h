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

/* The five columns of the design grid, as dfnSetValue, dfnGetValue and
 * dfnCountValidStrings number them. */
#define UVT_COLUMN_NAME 0      /* variable name */
#define UVT_COLUMN_TYPE 1      /* "Integer", "Real", ... */
#define UVT_COLUMN_DIMENSION 2 /* "Scalar", ... or the name of an Integer row */
#define UVT_COLUMN_DEPTH 3     /* structure depth, in decimal */
#define UVT_COLUMN_IO 4        /* "Input Only", ... */

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

enum { VT_EMPTY = 0, VT_I4 = 3, VT_BSTR = 8 };

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

UVT_API BSTR     SysAllocString(const OLECHAR* text);
UVT_API BSTR     SysAllocStringLen(const OLECHAR* text, uint32_t length);
UVT_API void     SysFreeString(BSTR text);
UVT_API uint32_t SysStringLen(BSTR text);
UVT_API void     VariantInit(VARIANT* variant);
UVT_API int32_t  VariantClear(VARIANT* variant);
#endif

/* ---------------------------------------------------------------------
 * Host routines. Every routine is called with the caller-cleans (cdecl)
 * convention. Memory handles are opaque: the library only ever turns them
 * into addresses through resolve, and gives every block back to release
 * with the exact size it was obtained with.
 * ------------------------------------------------------------------- */
typedef struct UvtMemoryRoutines {
    uintptr_t (UVT_HOSTCALL *allocate)(int32_t size);
    void      (UVT_HOSTCALL *release)(uintptr_t handle, int32_t size);
    void*     (UVT_HOSTCALL *resolve)(uintptr_t handle);
    uintptr_t (UVT_HOSTCALL *reallocate)(uintptr_t handle, int32_t oldSize, int32_t newSize);
} UvtMemoryRoutines;

/* hostValues points to the two values given to CreateUVT. Array numbers:
 * 0 Integer, 1 Real, 2 Character. A non-null text answer is a refusal. */
typedef struct UvtSymsizeRoutines {
    int32_t     (UVT_HOSTCALL *querySize)(int32_t* hostValues, int32_t code);
    const char* (UVT_HOSTCALL *resizeArray)(int32_t* hostValues, int32_t array, int32_t count);
    const char* (UVT_HOSTCALL *storeElement)(int32_t* hostValues, int32_t array, int32_t element,
                                             const void* value);
} UvtSymsizeRoutines;

typedef struct UvtEventRoutines {
    void (UVT_HOSTCALL *releaseEvent)(void);
    void (UVT_HOSTCALL *replaceEvent)(int32_t phase);
} UvtEventRoutines;

/* Text form: the sink receives one line at a time; the source delivers one
 * value per call (kind 0: NUL-terminated text, kind 1: int32) and answers 0
 * when it has none. */
typedef void    (UVT_HOSTCALL *UvtTextSink)(const char* line);
typedef int32_t (UVT_HOSTCALL *UvtTokenSource)(int32_t kind, void* destination);

/* ---------------------------------------------------------------------
 * The configuration interface: a COM object whose first field points to a
 * table of these eleven slots, each __stdcall on 32-bit Windows with the
 * interface pointer first.
 * ------------------------------------------------------------------- */
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

/* {8AD467D4-0C32-11D2-9B42-0000C07EE8F2} */
#define UVT_CONFIG_INTERFACE_ID_INIT \
    { 0x8AD467D4u, 0x0C32u, 0x11D2u, { 0x9Bu, 0x42u, 0x00u, 0x00u, 0xC0u, 0x7Eu, 0xE8u, 0xF2u } }

/* Codes shared by the exports. */
enum {
    UVT_TYPE_INTEGER = 0, UVT_TYPE_REAL = 1, UVT_TYPE_CHARACTER = 2, UVT_TYPE_STRUCTURE = 3
};
enum { UVT_IO_INPUT = 1, UVT_IO_OUTPUT = 2, UVT_IO_BOTH = 3 };
enum { UVT_NO_PARENT = -50 };
#define UVT_INVALID_HANDLE ((uintptr_t)0x0FFFFFFF)

/* ---------------------------------------------------------------------
 * Host set-up. Install before the first table is made; a null entry in a
 * record keeps the routine in place. Until then built-in defaults serve:
 * process memory, every host count 1, no refusals, no events.
 * ------------------------------------------------------------------- */

/* Installs allocate, release, resolve and reallocate. A null record changes nothing. */
UVT_API void UVT_CALL SetExtRoutines(const UvtMemoryRoutines* routines);
/* Installs querySize, resizeArray and storeElement. A null record changes nothing. */
UVT_API void UVT_CALL SetExtSymsize(const UvtSymsizeRoutines* routines);
/* Installs releaseEvent and replaceEvent; a null record turns both off. */
UVT_API void UVT_CALL SetExtUVTEvents(const UvtEventRoutines* routines);

/* ---------------------------------------------------------------------
 * Table life.
 * ------------------------------------------------------------------- */

/* Creates an empty table; hostIds (two values, may be null) are handed back
 * to the symbol-size routines. Returns the table's memory handle, 0 when no
 * memory could be had. */
UVT_API uintptr_t UVT_CALL CreateUVT(const int32_t* hostIds);
/* Releases the table, its rows, its run-time state and its configuration
 * interface; raises releaseEvent once. A null handle is ignored. */
UVT_API void UVT_CALL DeleteUVT(uintptr_t table);
/* Number of rows; 0 for a null table. */
UVT_API int32_t UVT_CALL dfnCountRows(uintptr_t table);

/* ---------------------------------------------------------------------
 * Design-time editing. VARIANT results are VT_EMPTY or VT_BSTR text that
 * the caller frees with VariantClear. Columns: 0 name, 1 type, 2 dimension,
 * 3 depth, 4 IO. Row number dfnCountRows() is the grid's trailing row.
 * ------------------------------------------------------------------- */

/* Validates and stores one cell. VT_EMPTY when accepted as given, otherwise
 * a message. A name is upper-cased in the caller's own string. reserved is
 * neither read nor written. */
UVT_API VARIANT UVT_CALL dfnSetValue(uintptr_t table, int32_t column, int32_t row, VARIANT value,
                                     int32_t* reserved) UVT_VARIANT_RESULT;
/* The display text of one cell, or VT_EMPTY when it cannot be read. */
UVT_API VARIANT UVT_CALL dfnGetValue(uintptr_t table, int32_t column, int32_t row) UVT_VARIANT_RESULT;
/* Inserts a default row at position (clamped to the table). Returns 0 on
 * failure, else the save result, or 1 when nothing was saved. */
UVT_API int32_t UVT_CALL dfnInsertRow(uintptr_t table, int32_t position);
/* Deletes one row; references to it are left for the readers to repair. */
UVT_API int32_t UVT_CALL dfnDeleteRow(uintptr_t table, int32_t row);
/* Empty text when the row is complete, else a message; repairs its parent link. */
UVT_API VARIANT UVT_CALL dfnIsRowComplete(uintptr_t table, int32_t row) UVT_VARIANT_RESULT;
/* Empty text when every row is complete, else the first row's message. */
UVT_API VARIANT UVT_CALL dfnIsComplete(uintptr_t table) UVT_VARIANT_RESULT;
/* Number of drop-down entries of a cell (columns 1, 2 and 4 have lists). */
UVT_API int32_t UVT_CALL dfnCountValidStrings(uintptr_t table, int32_t column, int32_t row);
/* One drop-down entry; an empty text when out of range. */
UVT_API VARIANT UVT_CALL dfnGetValidString(uintptr_t table, int32_t column, int32_t row,
                                           int32_t entry) UVT_VARIANT_RESULT;

/* ---------------------------------------------------------------------
 * Persistence.
 * ------------------------------------------------------------------- */

/* Writes the saved-state string through the attached configuration
 * interface (BeginSave, then SaveBytes per piece) and returns the last
 * SaveBytes result; 0 without an interface. */
UVT_API int32_t UVT_CALL UVTSave(uintptr_t table);
/* Rebuilds rows from the saved-state string read through BeginRestore and
 * RestoreBytes. Returns the restored row count when the whole string was
 * read, else 0. Rows already in the table follow the restored ones. */
UVT_API int32_t UVT_CALL UVTRestore(uintptr_t table);
/* As UVTRestore, through BeginRestoreRB and RestoreBytesRB. */
UVT_API int32_t UVT_CALL UVTRestoreRB(uintptr_t table);
/* Passes the table's records to sink, a header line and a line per row. */
UVT_API void UVT_CALL UVTToText(uintptr_t table, UvtTextSink sink);
/* Replaces the table's rows with records read from source; 1 when every
 * value was delivered, else 0. */
UVT_API int32_t UVT_CALL UVTFromText(uintptr_t table, UvtTokenSource source);
/* Attaches the object's configuration interface (null detaches) and returns
 * the interface now held. The table keeps one reference until it is
 * replaced, detached or the table is deleted. */
UVT_API void* UVT_CALL UVTSetConfigInterface(uintptr_t table, void* object);

/* ---------------------------------------------------------------------
 * FORTRAN bridge. The table is written as an INTEGER FUNCTION
 * name(NVARS,ICOL,IROW) whose DATA statements carry every row: IROW 0 gives
 * the version (the time stamp), IROW 1..NVARS and ICOL 1..8 the four
 * Hollerith words of the name, type, dimension (a row number or a negative
 * code), depth and IO. Paths are VT_BSTR text of at most 159 bytes once
 * converted to the 8-bit code page; longer ones are refused.
 * ------------------------------------------------------------------- */

/* Names the function after the file (its name up to the first ".", at most
 * 8 characters, upper-cased) and writes it in text mode. 0 when written,
 * 1 when the table or path is missing or the file cannot be written. */
UVT_API int32_t UVT_CALL dfnDumpFORTRAN(uintptr_t table, VARIANT path);
/* Sets the function name (upper-cased, at most 8 characters) and runs the
 * save step. Returns the save's result, or the bytes stored when no save
 * ran; 0 for an empty or missing name; the length of a longer name, which
 * is refused. */
UVT_API int32_t UVT_CALL dfnSetFunctionName(uintptr_t table, VARIANT name);
/* Reads such a function into a new table (no host values, no configuration
 * interface). Returns 0, having released everything, when the file cannot
 * be read completely. */
UVT_API uintptr_t UVT_CALL dfnLoadFromFORTRAN(VARIANT path);
/* Appends the rows of such a function to the table. The file's function
 * name is taken only when the table has none, its version only when the
 * table had no rows. */
UVT_API void UVT_CALL dfnImportFortran(uintptr_t table, VARIANT path);

/* ---------------------------------------------------------------------
 * Run time: binding a complete table to the host's Integer, Real and
 * Character work arrays. The table is laid out as a tree with one value per
 * scalar and per array element; a value's place is its rank among the
 * values of its type in tree order. Sizes reach the host through
 * resizeArray, values through storeElement. None of these report errors;
 * an incomplete table (dfnIsComplete not empty) is not bound.
 * ------------------------------------------------------------------- */

/* Builds the table's layout, dropping any earlier one and its values, asks
 * the host to size its arrays and sends every value (null for none). */
UVT_API void UVT_CALL rtmInitArrays(uintptr_t table);
/* As rtmInitArrays for arrays that already hold values: the k-th Integer
 * and Real values in tree order are taken from ints and reals (99999999 in
 * ints: no value). The host's storeElement is not called. */
UVT_API void UVT_CALL rtmAttachArrays(uintptr_t table, const int32_t* ints, const double* reals);
/* Asks the host's counts (components, streams) again and resizes the arrays
 * that depend on them; values are kept. unused is ignored. */
UVT_API void UVT_CALL rtmSetSymSize(uintptr_t table, int32_t unused);
/* target takes over source's definition, keeping its values wherever a
 * variable keeps its name, kind and type, and sends every value again;
 * source's handle is deleted. Bracketed by replaceEvent(0) and (1). An
 * incomplete source changes nothing; the same handle twice does nothing. */
UVT_API void UVT_CALL rtmReplaceTable(uintptr_t target, uintptr_t source);
/* Number of values of a type (0 Integer, 1 Real, 2 Character); binds a
 * complete table that is not bound yet. 0 for a null table. */
UVT_API int32_t UVT_CALL rtmGetLimit(uintptr_t table, int32_t type);
/* The same from the table's address (what resolve gives for its handle),
 * without binding anything: 0 when it is not bound or null. */
UVT_API int32_t UVT_CALL rtmGetLimitDirect(void* tableAddress, int32_t type);

/* ---------------------------------------------------------------------
 * Run time: addressing values. Messages are constant texts owned by the
 * library (never freed by the host); null means success, and outputs are
 * written only on success.
 *
 * direction: 0 input, 1 output. A run-time row n of a direction is its
 * (n+1)-th value in tree order whose IO belongs to it (an Input and Output
 * value belongs to both). A runtime handle is the memory handle of a node of
 * the layout tree; it stays good while that node exists. filter: -1 any
 * value, 0 not Output Only, 1 not Input Only, 2 Input Only, 3 Output Only,
 * 4 Input and Output, anything else none.
 * Path names: names separated by any run of ".", "(" and ")", elements by
 * their number from 1: X, X(3), S.A, S(2).A (also S.2.A, S(2)A).
 * ------------------------------------------------------------------- */

/* Number of run-time rows of a direction; 0 for a null or unbound table or
 * another direction. */
UVT_API int32_t UVT_CALL rtmGetNumberOfRows(uintptr_t table, int32_t direction);
/* The value at a run-time row. "Invalid argument" (null handleOut), "IO
 * argument not supported", "Invalid row number". */
UVT_API const char* UVT_CALL rtmHandleByRow(uintptr_t table, int32_t row, int32_t direction,
                                            uintptr_t* handleOut);
/* The node that a path names (a value, structure, array or element).
 * "Invalid argument", "Invalid table", "Arrays not initialized", "Invalid row
 * number" (nothing named). */
UVT_API const char* UVT_CALL rtmHandleByName(uintptr_t table, const char* path, uintptr_t* handleOut);
/* 1 unless handle is 0 or UVT_INVALID_HANDLE; nothing else is looked at. */
UVT_API int32_t UVT_CALL rtmIsHandleValid(uintptr_t table, uintptr_t handle);
/* The first value in tree order that passes filter, or 0 when none does.
 * "Invalid argument", "Invalid table", "Arrays not initialized". */
UVT_API const char* UVT_CALL rtmGetFirstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut);
/* The next value after handle that passes filter, or 0 when none follows;
 * from a structure or array, the next after its whole subtree. "Invalid
 * argument" for 0, UVT_INVALID_HANDLE, a handle that names no node, or a
 * null handleOut. table is not used. */
UVT_API const char* UVT_CALL rtmGetNextHandle(uintptr_t table, uintptr_t handle, int32_t filter,
                                              uintptr_t* handleOut);

/* ---------------------------------------------------------------------
 * Run time: labels, such as X, Y(3), R.D, S(2).T.B, S(2).Z(4), and S.(2).A
 * for a scalar member of an element of a structure array. Every label is a
 * path name for rtmHandleByName. Bounded copy: with bufferLength > 0 exactly
 * bufferLength bytes are written (the label cut to bufferLength - 1
 * characters, then NULs); with bufferLength <= 0 the whole label and its NUL.
 * ------------------------------------------------------------------- */

/* "Invalid table", "IO argument not supported", "Arrays not initialized",
 * "Row number is out of bound". buffer is left as it was on failure. */
UVT_API const char* UVT_CALL rtmGetLabelByRow(uintptr_t table, int32_t row, int32_t direction, char* buffer,
                                              int32_t bufferLength);
/* Copies the whole label; the buffer must hold the longest label (512 bytes
 * always do). "Invalid handle" (fails rtmIsHandleValid or names no node),
 * "Invalid argument" (null buffer, or a handle of a structure, array,
 * structure element or the root, which name no value), "Invalid table"
 * (null table, or a node of another table), "Arrays not initialized". An
 * invalid handle leaves the buffer as it was; every later failure leaves
 * the empty text in it. spare is not used. */
UVT_API const char* UVT_CALL rtmGetLabelByHandle(uintptr_t table, uintptr_t handle, char* buffer,
                                                 int32_t spare);
/* The label of the value at place (from 0) of the host array of type, with
 * its IO code (1, 2, 3) in *ioOut. *ioOut is set to 0 first. Returns buffer,
 * or null when there is no such value (no message). */
UVT_API char* UVT_CALL rtmGetLabel(uintptr_t table, int32_t type, int32_t place, int32_t* ioOut, char* buffer,
                                   int32_t bufferLength);
/* Copies the function name (at most 15 characters and its NUL) and the time
 * stamp; writes nothing for a null table. */
UVT_API void UVT_CALL rtmGetFunction(uintptr_t table, char* nameOut, int32_t* timeStampOut);

/* ---------------------------------------------------------------------
 * Run time: reading. A value pointer addresses the value in the library's
 * storage: an int32, a double, or the NUL-terminated text; it is null while
 * the value is not set. Integer and Real pointers last until the value's
 * node goes, a text pointer until the value is written again.
 * Element numbers count from 1, places from 0.
 *
 * The by-name readers and writers take one variable name (a member by its
 * own name) and an index list: one entry for each array on the way from the
 * top level, outermost first, and one more to pick an element of a named
 * array. Exactly that many entries are read, never more. Entries count from
 * 0 (from 1 in the One_Based exports); an entry below that selects the
 * first element, one past the last means not found. A null list reaches
 * only variables that lie in no array; with an array on the way the name is
 * not found, and a named array is then reported as a structure.
 * ------------------------------------------------------------------- */

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

/* ---------------------------------------------------------------------
 * Run time: writing. value points to an int32, a double or the text by the
 * variable's type; null stores 0, 0.0 or the empty text as "no value". The
 * change reaches the host through storeElement. An Integer that sizes
 * arrays first asks resizeArray for every array whose size would change; on
 * a refusal the earlier arrays are told their old sizes again (the refused
 * one first) and the answer is "The storage of this value has resulted in
 * the following error message while storing the size of the <type>
 * array:\r\n<host text>", held in one 512-byte buffer until the next such
 * refusal. A Real refused by storeElement answers the host's own text. A
 * refused write changes nothing, not even the value-set flag. A Character
 * value that finds no memory for its copy is not stored: "Not enough
 * memory". releaseEvent comes at most once per call.
 * ------------------------------------------------------------------- */

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
 * integer table: columns 0-3 the name's four words (first character in the
 * least significant byte, or in the most significant one when querySize(null,
 * -50) answers 4; asked on every call), 4 type, 5 dimension, 6 depth, 7 IO.
 * Unchecked; no save step, no layout, no event. */
UVT_API void UVT_CALL rtmSetCellValue(uintptr_t table, int32_t rowIndex, int32_t column, int32_t value);

#ifdef __cplusplus
}
#endif

#endif /* UVT_H */
