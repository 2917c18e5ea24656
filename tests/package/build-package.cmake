# Builds the Debian package of a build tree and stages the same install
# rules into a folder, for the package test:
#
#   cmake -DBUILD=<build> -P build-package.cmake
#
# <build>/package/sarvelin-key_<version>_<arch>.deb   cpack -G DEB
# <build>/package/stage/                              cmake --install with DESTDIR
# <build>/install_manifest.txt                        the files of that install
# Then lintian checks the package and fails on any error. Run inside the
# sandbox: an install rule gone wrong can then write only the sandbox's /opt.
if(NOT BUILD OR NOT EXISTS ${BUILD}/CPackConfig.cmake)
  message(FATAL_ERROR "BUILD must name a configured build tree")
endif()

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " cmd)
    message(FATAL_ERROR "failed (${rc}): ${cmd}")
  endif()
endfunction()

file(REMOVE_RECURSE ${BUILD}/package)
run(${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake)
file(GLOB deb ${BUILD}/package/sarvelin-key_*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${BUILD}/package, found: ${deb}")
endif()

set(ENV{DESTDIR} ${BUILD}/package/stage)
run(${CMAKE_COMMAND} --install ${BUILD})

find_program(LINTIAN lintian REQUIRED)
run(${LINTIAN} --fail-on error --info ${deb})
file(SIZE ${deb} size)
message(STATUS "package ${deb}: ${size} bytes")
