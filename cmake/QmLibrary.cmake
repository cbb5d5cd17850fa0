# The .cpp and .h files of the current folder, and of its subfolders when recurse is true.
function(qm_folder_sources out recurse)
  set(_glob GLOB)
  if(recurse)
    set(_glob GLOB_RECURSE)
  endif()
  file(${_glob} _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# One static library per folder; every .cpp/.h in the folder (and, with RECURSE, in its
# subfolders) belongs to it, so adding a file needs no edit here.
function(qm_folder_library name)
  cmake_parse_arguments(ARG "RECURSE" "" "LIBS" ${ARGN})
  qm_folder_sources(_src ${ARG_RECURSE})
  list(FILTER _src EXCLUDE REGEX "/[^/]*\\.in$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -Wall -Wextra)
  else()
    # A folder whose code has not landed yet: headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# One GoogleTest executable per folder, each case registered with CTest and run headless.
# Tests in the folder's xvfb/ subfolder need a real X server (pointer, focus, pop-up windows):
# they build into <name>_xvfb, carry the CTest label "xvfb" and run on the xcb platform, under
# `xvfb-run` (see the Makefile), one at a time because they share the server's focus.
function(qm_folder_tests name)
  cmake_parse_arguments(ARG "RECURSE" "" "LIBS" ${ARGN})
  qm_folder_sources(_src ${ARG_RECURSE})
  list(FILTER _src EXCLUDE REGEX "/xvfb/")
  if(_src)
    add_executable(${name} ${_src})
    target_link_libraries(${name} PRIVATE qm_testsupport ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -Wall -Wextra)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
  file(GLOB_RECURSE _xvfb CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/*.h)
  if(_xvfb)
    add_executable(${name}_xvfb ${_xvfb})
    target_link_libraries(${name}_xvfb PRIVATE qm_testsupport_xvfb ${ARG_LIBS})
    target_compile_options(${name}_xvfb PRIVATE -Wall -Wextra)
    gtest_discover_tests(${name}_xvfb
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS xvfb RUN_SERIAL TRUE ENVIRONMENT "QT_QPA_PLATFORM=xcb")
  endif()
endfunction()
