# Native 32-bit build: the records have their 32-bit sizes here.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# Some kernels run no 32-bit programs (no IA-32 emulation); qemu-i386 runs
# them on any x86-64 kernel, so the tests go through it when it is there.
find_program(UVT_QEMU_I386 qemu-i386)
if(UVT_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${UVT_QEMU_I386})
endif()
