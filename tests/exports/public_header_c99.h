/* What the C99 side of the public-header test reports. */
#ifndef UVT_PUBLIC_HEADER_C99_H
#define UVT_PUBLIC_HEADER_C99_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UvtHeaderLayout {
    size_t olechar, variant, variantBstr, guid;
    size_t memoryRoutines, symsizeRoutines, eventRoutines;
    size_t configSlots, saveBytesSlot, beginRestoreSlot;
    uintptr_t invalidHandle;
    long noParent;
    long vtBstr;
    size_t variantBstrRef;
    long vtBstrRef;
    long noValue;
    long byteOrderQuery;
    long filterAny;
    long dimWorkOutletStreams;
    const char* version;
} UvtHeaderLayout;

typedef struct UvtEditFromC {
    int created;
    int32_t inserted;
    char setAnswer[64];
    char name[32];
    char type[32];
    int32_t rows;
} UvtEditFromC;

void uvtHeaderLayoutFromC(UvtHeaderLayout* layout);
/* Creates a table, inserts a row, names it "pressure", reads the row back
 * and deletes the table, all from C. */
void uvtEditFromC(UvtEditFromC* result);

#ifdef __cplusplus
}
#endif

#endif
