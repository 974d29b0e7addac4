/*
 * A small host of the uvt library, in plain C.
 *
 * It installs its own memory routines (allocate, release and resolve; the
 * library's reallocate works through them) and a release event, creates a
 * table, inserts and names a row, attaches a configuration object of its
 * own, makes one more edit so that the table saves itself through that
 * object, and deletes the table, printing what happens on the way.
 */
#include "uvt.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* ---------------------------------------------------------------------
 * Memory. The library holds only handles and asks resolve for an address
 * whenever it needs one; here a handle simply is the address.
 * ------------------------------------------------------------------- */
static long blocksHeld = 0;
static long blocksAllocated = 0;

static uintptr_t UVT_HOSTCALL hostAllocate(int32_t size) {
    void* block = malloc(size > 0 ? (size_t)size : 1u);
    if (block != NULL) {
        ++blocksHeld;
        ++blocksAllocated;
    }
    return (uintptr_t)block;
}

static void UVT_HOSTCALL hostRelease(uintptr_t handle, int32_t size) {
    (void)size; /* the size the block was allocated with */
    if (handle != 0) --blocksHeld;
    free((void*)handle);
}

static void* UVT_HOSTCALL hostResolve(uintptr_t handle) { return (void*)handle; }

static void UVT_HOSTCALL hostReleaseEvent(void) { printf("  releaseEvent\n"); }

/* ---------------------------------------------------------------------
 * The configuration object: a struct whose first field points to the slot
 * table, so the library can call it like any COM object. It keeps the
 * saved-state string that the table writes and can serve it back.
 * ------------------------------------------------------------------- */
typedef struct ExampleConfig {
    const UvtConfigInterfaceVtbl* vtbl; /* must come first */
    uint32_t references;
    char saved[4096];
    int32_t savedLength;
    int32_t readPosition;
} ExampleConfig;

static ExampleConfig* configOf(UvtConfigInterface* self) { return (ExampleConfig*)(void*)self; }

static int32_t UVT_CALL configQueryInterface(UvtConfigInterface* self, const GUID* iid, void** out) {
    static const GUID wanted = UVT_CONFIG_INTERFACE_ID_INIT;
    if (out == NULL) return (int32_t)0x80004003u; /* E_POINTER */
    if (iid == NULL || memcmp(iid, &wanted, sizeof wanted) != 0) {
        *out = NULL;
        return (int32_t)0x80004002u; /* E_NOINTERFACE */
    }
    ++configOf(self)->references;
    *out = self;
    return 0;
}

static uint32_t UVT_CALL configAddRef(UvtConfigInterface* self) { return ++configOf(self)->references; }

static uint32_t UVT_CALL configRelease(UvtConfigInterface* self) {
    ExampleConfig* config = configOf(self);
    --config->references;
    printf("  Release: the object now has %lu reference(s)\n", (unsigned long)config->references);
    return config->references;
}

static int32_t UVT_CALL configBeginSave(UvtConfigInterface* self) {
    configOf(self)->savedLength = 0;
    printf("  BeginSave\n");
    return 0;
}

static int32_t UVT_CALL configSaveBytes(UvtConfigInterface* self, const char* bytes, int32_t length) {
    ExampleConfig* config = configOf(self);
    int32_t i;
    printf("  SaveBytes(%ld bytes): \"", (long)length);
    for (i = 0; i < length; ++i) {
        const unsigned char c = (unsigned char)bytes[i];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            putchar(c);
        } else {
            printf("\\x%02X", c);
        }
    }
    printf("\"\n");
    if (length < 0 || length > (int32_t)sizeof config->saved - config->savedLength) return 0;
    memcpy(config->saved + config->savedLength, bytes, (size_t)length);
    config->savedLength += length;
    return 1;
}

static int32_t UVT_CALL configBeginRestore(UvtConfigInterface* self) {
    configOf(self)->readPosition = 0;
    return 0;
}

static int32_t UVT_CALL configRestoreBytes(UvtConfigInterface* self, char* buffer, int32_t count,
                                           int32_t* delivered) {
    ExampleConfig* config = configOf(self);
    int32_t n = config->savedLength - config->readPosition;
    if (count < n) n = count < 0 ? 0 : count;
    memcpy(buffer, config->saved + config->readPosition, (size_t)n);
    config->readPosition += n;
    *delivered = n;
    return 0;
}

/* This host keeps one string, so both restore sources read it. */
static const UvtConfigInterfaceVtbl exampleConfigSlots = {
    configQueryInterface, /* 0 */
    configAddRef,         /* 1 */
    configRelease,        /* 2 */
    configBeginSave,      /* 3 */
    NULL,                 /* 4: not used */
    configRestoreBytes,   /* 5: RestoreBytesRB */
    configSaveBytes,      /* 6 */
    configBeginRestore,   /* 7: BeginRestoreRB */
    NULL,                 /* 8: not used */
    configRestoreBytes,   /* 9 */
    configBeginRestore,   /* 10 */
};

/* ---------------------------------------------------------------------
 * Cell values travel as VARIANTs holding BSTR text.
 * ------------------------------------------------------------------- */

/* Writes one cell from ASCII text; prints the library's answer. */
static void setCell(uintptr_t table, int32_t column, int32_t row, const char* text) {
    static const char* const columns[] = {"name", "type", "dimension", "depth", "IO"};
    OLECHAR wide[64];
    VARIANT value;
    VARIANT answer;
    int32_t reserved = 0;
    size_t i;
    for (i = 0; text[i] != '\0' && i + 1 < sizeof wide / sizeof wide[0]; ++i) wide[i] = (OLECHAR)text[i];
    wide[i] = 0;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(wide);
    printf("dfnSetValue(%s of row %ld, \"%s\")\n", columns[column], (long)row, text);
    answer = dfnSetValue(table, column, row, value, &reserved);
    if (answer.vt == VT_EMPTY) {
        printf("  accepted\n");
    } else if (answer.vt == VT_BSTR && answer.bstrVal != NULL) {
        const OLECHAR* p;
        printf("  message: ");
        for (p = answer.bstrVal; *p != 0; ++p) putchar(*p < 0x80 ? (int)*p : '?');
        putchar('\n');
    }
    VariantClear(&answer);
    VariantClear(&value);
}

/* Prints the display text of one cell. */
static void showCell(uintptr_t table, int32_t column, int32_t row) {
    VARIANT text = dfnGetValue(table, column, row);
    printf("  cell (%ld, %ld) reads \"", (long)column, (long)row);
    if (text.vt == VT_BSTR && text.bstrVal != NULL) {
        const OLECHAR* p;
        for (p = text.bstrVal; *p != 0; ++p) putchar(*p < 0x80 ? (int)*p : '?');
    }
    printf("\"\n");
    VariantClear(&text);
}

int main(void) {
    static const UvtMemoryRoutines memory = {hostAllocate, hostRelease, hostResolve, NULL};
    static const UvtEventRoutines events = {hostReleaseEvent, NULL};
    static ExampleConfig config = {&exampleConfigSlots, 1, {0}, 0, 0};
    const int32_t hostIds[2] = {7, 0};
    uintptr_t table;
    int32_t inserted;
    void* held;

    /* Unbuffered, so the lines keep their order with the library's calls. */
    setvbuf(stdout, NULL, _IONBF, 0);
    printf("uvt example host\n");
    SetExtRoutines(&memory);
    SetExtUVTEvents(&events);

    table = CreateUVT(hostIds);
    if (table == 0) {
        printf("CreateUVT failed: no memory\n");
        return 1;
    }
    printf("CreateUVT: table created with %ld row(s)\n", (long)dfnCountRows(table));

    inserted = dfnInsertRow(table, 0);
    printf("dfnInsertRow(0) returned %ld, the table has %ld row(s)\n", (long)inserted, (long)dfnCountRows(table));
    setCell(table, UVT_COLUMN_NAME, 0, "flow");
    showCell(table, 0, 0);

    held = UVTSetConfigInterface(table, &config);
    printf("UVTSetConfigInterface: %s, the object has %lu reference(s)\n",
           held == (void*)&config ? "attached" : "NOT attached", (unsigned long)config.references);

    /* With the object attached, every edit ends by saving the table. */
    setCell(table, UVT_COLUMN_TYPE, 0, "Integer");
    showCell(table, 1, 0);

    printf("DeleteUVT\n");
    DeleteUVT(table);
    printf("blocks still held by the library: %ld (of %ld allocated)\n", blocksHeld, blocksAllocated);
    printf("the configuration object has %lu reference(s) and %ld saved byte(s)\n",
           (unsigned long)config.references, (long)config.savedLength);
    return blocksHeld == 0 && config.references == 1 ? 0 : 1;
}
