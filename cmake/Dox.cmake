# Helpers shared by every folder of the build.

# dox_add_subdirs(<dir>...): add each sub-folder that has its own CMakeLists.txt,
# so that parts of the tree can arrive one by one without touching their parent.
function(dox_add_subdirs)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# dox_core_area(<name> SOURCES ... [LIBS ...]): one area of DoxCore, built as a
# static library of position-independent objects. Tests link the area alone;
# libDoxCore.so links every area registered here.
function(dox_core_area name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC doxcore_headers ${A_LIBS})
  set_property(GLOBAL APPEND PROPERTY DOX_CORE_AREAS ${name})
endfunction()

# dox_gtest(<name> SOURCES ... [LIBS ...] [GUI]): a GoogleTest program run by
# CTest. GUI tests get a QApplication on the offscreen platform from their main.
function(dox_gtest name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} dox_gui_test_main)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_link_libraries(${name} PRIVATE dox_test_support)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DOX_BIN_DIR=${DOX_BIN_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# dox_xtest(<name> SOURCES ... [LIBS ...] [IME]): a GoogleTest program that starts its
# own X server (Xvfb) and sends input through XTest (testsupport/XServer.h); with IME
# also a session bus and fcitx5 with pinyin. Built and run in the plain build only:
# under the sanitizers the X libraries' own reads are reported, which says nothing
# about our code. Keep these few and quick.
function(dox_xtest name)
  cmake_parse_arguments(T "IME" "" "SOURCES;LIBS" ${ARGN})
  if(DOX_SANITIZE OR DOX_TSAN OR NOT TARGET dox_xserver_test_main)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_IME)
    target_link_libraries(${name} PRIVATE ${T_LIBS} dox_ime_test_main dox_test_support)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} dox_xserver_test_main dox_test_support)
  endif()
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Without an X server the program exits with the skip code (XServer.h).
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "DOX_BIN_DIR=${DOX_BIN_DIR}" TIMEOUT 300
                       SKIP_RETURN_CODE 77)
endfunction()
