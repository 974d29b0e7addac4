# What cmake --install puts in place, and the release archives cpack makes
# of it: the library with its header, a CMake package (uvt::uvt) and a
# pkg-config file, and on Windows uvt.lib and uvt.def for Microsoft's tools.
# The tool installs itself (tools/CMakeLists.txt).
include(CMakePackageConfigHelpers)

set(UVT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/uvt)

install(TARGETS uvt EXPORT uvtTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/uvt.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(UVT_MSVC_IMPORT_LIBRARY)
  install(FILES ${UVT_MSVC_IMPORT_LIBRARY} ${UVT_MSVC_DEF} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# The CMake package: relocatable, so the same files serve an archive
# unpacked anywhere and a package installed under /usr.
install(EXPORT uvtTargets NAMESPACE uvt:: DESTINATION ${UVT_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/package/uvtConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/uvtConfig.cmake INSTALL_DESTINATION ${UVT_CMAKE_DIR})
# A major version keeps the binary interface, as the SONAME libuvt.so.0 says.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/uvtConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/uvtConfig.cmake ${CMAKE_BINARY_DIR}/package/uvtConfigVersion.cmake
  DESTINATION ${UVT_CMAKE_DIR})

# The pkg-config file finds the prefix from its own place, for the same
# reason.
file(RELATIVE_PATH UVT_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" UVT_PC_TO_PREFIX "${UVT_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/package/uvt.pc.in ${CMAKE_BINARY_DIR}/package/uvt.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/uvt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Release archives: a .tar.gz and a .deb on Linux, a .zip on Windows.
set(CPACK_PACKAGE_NAME uvt)
set(CPACK_PACKAGE_VENDOR "the uvt authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Variable tables for user-written calculation routines: library, header and tool")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_SOURCE_GENERATOR "")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the uvt authors")
  set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
