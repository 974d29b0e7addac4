# Installs a native build into a fresh prefix, checks the installed layout,
# then builds the example host against the installed tree twice, through
# the CMake package and through pkg-config, and runs both builds.
#   cmake -DBUILD_DIR=<build> -DWORK=<scratch dir> -DSOURCE_DIR=<source>
#         -DLIBDIR=<lib> -DVERSION=<x.y.z> -DC_COMPILER=<cc> -DGENERATOR=<gen>
#         [-DSANITIZE_FLAGS=<flags>] -P check_install.cmake
# The library of a sanitizer build needs its runtime loaded first, so the
# consumers are then built with the same flags.
cmake_minimum_required(VERSION 3.25)
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The layout a host developer is told about.
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
set(files
  include/uvt.h
  ${LIBDIR}/libuvt.so.${VERSION} ${LIBDIR}/libuvt.so.${major} ${LIBDIR}/libuvt.so
  ${LIBDIR}/cmake/uvt/uvtConfig.cmake ${LIBDIR}/cmake/uvt/uvtConfigVersion.cmake ${LIBDIR}/cmake/uvt/uvtTargets.cmake
  ${LIBDIR}/pkgconfig/uvt.pc
  bin/uvt
  share/doc/uvt/README.md share/doc/uvt/LICENSE)
foreach(file IN LISTS files)
  if(NOT EXISTS ${prefix}/${file})
    message(SEND_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(link libuvt.so.${major} libuvt.so)
  if(NOT IS_SYMLINK ${prefix}/${LIBDIR}/${link})
    message(SEND_ERROR "${LIBDIR}/${link} is not a link to the library")
  endif()
endforeach()

run(readelf -d ${prefix}/${LIBDIR}/libuvt.so.${VERSION})
if(NOT run_output MATCHES "\\(SONAME\\)[^\n]*\\[libuvt\\.so\\.${major}\\]")
  message(SEND_ERROR "the library's SONAME is not libuvt.so.${major}:\n${run_output}")
endif()
run(readelf -d ${prefix}/bin/uvt)
string(REGEX MATCH "\\((RUNPATH|RPATH)\\)[^\n]*\\[([^]\n]*)\\]" found "${run_output}")
if(NOT CMAKE_MATCH_1 STREQUAL "RUNPATH" OR NOT CMAKE_MATCH_2 STREQUAL "$ORIGIN/../${LIBDIR}")
  message(SEND_ERROR "bin/uvt: run path \"${CMAKE_MATCH_2}\" (${CMAKE_MATCH_1}), not RUNPATH \"$ORIGIN/../${LIBDIR}\"")
endif()
# The tool starts from the installed tree with nothing but its run path.
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${prefix}/bin/uvt --help)

# The host source away from the source tree, so that only the installed
# header can be found.
file(COPY ${SOURCE_DIR}/examples/host/example_host.c DESTINATION ${WORK}/host)
set(host_source ${WORK}/host/example_host.c)
set(checker ${SOURCE_DIR}/examples/host/check_example_output.cmake)
separate_arguments(sanitize UNIX_COMMAND "${SANITIZE_FLAGS}")

# Through the CMake package.
run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/consumer -B ${WORK}/cmake-consumer -G ${GENERATOR}
  -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
  "-DCMAKE_C_FLAGS=${SANITIZE_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZE_FLAGS}"
  -DUVT_HOST_SOURCE=${host_source} -DUVT_EXPECTED_VERSION=${VERSION})
run(${CMAKE_COMMAND} --build ${WORK}/cmake-consumer)
run(${CMAKE_COMMAND} -DPROGRAM=${WORK}/cmake-consumer/consumer -P ${checker})

# Through pkg-config, looking at the installed tree only.
set(pkg_config ${CMAKE_COMMAND} -E env PKG_CONFIG_LIBDIR=${prefix}/${LIBDIR}/pkgconfig PKG_CONFIG_PATH= pkg-config)
run(${pkg_config} --modversion uvt)
string(STRIP "${run_output}" pc_version)
if(NOT pc_version STREQUAL VERSION)
  message(SEND_ERROR "pkg-config gives version ${pc_version}, not ${VERSION}")
endif()
run(${pkg_config} --cflags --libs uvt)
string(STRIP "${run_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
run(${C_COMPILER} ${sanitize} ${host_source} ${pc_flags} -o ${WORK}/pkg-config-consumer)
set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
run(${CMAKE_COMMAND} -DPROGRAM=${WORK}/pkg-config-consumer -P ${checker})
message(STATUS "installed tree: layout as described; CMake and pkg-config consumers built and ran")
