# Host tests load the built plug-in through the binary interface, as a host
# does: natively the .so, and in the win64 build the DLL under wine64.
add_library(null_plugin MODULE ${CMAKE_CURRENT_SOURCE_DIR}/host/null_plugin.cpp)
set_target_properties(null_plugin PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins)
# A plug-in of another make with a painted editor, for the host's editor commands.
add_library(painted_editor_plugin MODULE ${CMAKE_CURRENT_SOURCE_DIR}/host/painted_editor_plugin.cpp)
target_include_directories(painted_editor_plugin PRIVATE ${CMAKE_SOURCE_DIR}/src)
set_target_properties(painted_editor_plugin PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins)
if(NOT WIN32)
  # A library that exports our class names with other layouts, loaded beside the plug-in.
  add_library(clashing_names_library MODULE ${CMAKE_CURRENT_SOURCE_DIR}/host/clashing_names_library.cpp)
  set_target_properties(clashing_names_library PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins)
endif()
if(WIN32)
  target_link_options(null_plugin PRIVATE -static)
  target_link_options(painted_editor_plugin PRIVATE -static)
  target_link_libraries(painted_editor_plugin PRIVATE user32 gdi32)
  set(TVX_PATH_PREFIX "Z:")
else()
  set(TVX_PATH_PREFIX "")
endif()

file(GLOB TVX_HOST_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/host/*_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/vsthost/*_test.cpp)
# Tests that open windows need a display: they form their own program, run
# with a virtual X display of its own.
set(TVX_DISPLAY_TEST_SOURCES ${TVX_HOST_TEST_SOURCES})
list(FILTER TVX_DISPLAY_TEST_SOURCES INCLUDE REGEX "_display_test\\.cpp$")
list(FILTER TVX_HOST_TEST_SOURCES EXCLUDE REGEX "_display_test\\.cpp$")
if(WIN32)
  list(FILTER TVX_HOST_TEST_SOURCES EXCLUDE REGEX "clashing_names_test\\.cpp$")
endif()
add_executable(host_tests ${TVX_HOST_TEST_SOURCES} ${TVX_TEST_SUPPORT})
target_include_directories(host_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(host_tests PRIVATE vsthost_lib midi_builder ${TVX_GTEST_LIBS})
add_dependencies(host_tests tessaravox_plugin null_plugin painted_editor_plugin)
set(TVX_HOST_TEST_DEFINITIONS
  TVX_PLUGIN_PATH="${TVX_PATH_PREFIX}$<TARGET_FILE:tessaravox_plugin>"
  TVX_NULL_PLUGIN_PATH="${TVX_PATH_PREFIX}$<TARGET_FILE:null_plugin>"
  TVX_PAINTED_PLUGIN_PATH="${TVX_PATH_PREFIX}$<TARGET_FILE:painted_editor_plugin>"
  TVX_TEST_DATA_DIR="${TVX_PATH_PREFIX}${CMAKE_SOURCE_DIR}/tests/data"
  TVX_PRESETS_DIR="${TVX_PATH_PREFIX}${CMAKE_SOURCE_DIR}/presets"
  TVX_SCRATCH_DIR="${TVX_PATH_PREFIX}${CMAKE_BINARY_DIR}/scratch")
target_compile_definitions(host_tests PRIVATE ${TVX_HOST_TEST_DEFINITIONS})
if(NOT WIN32)
  add_dependencies(host_tests clashing_names_library)
  target_compile_definitions(host_tests PRIVATE TVX_CLASHING_LIBRARY_PATH="$<TARGET_FILE:clashing_names_library>")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/scratch)
if(CMAKE_CROSSCOMPILING)
  target_link_options(host_tests PRIVATE -static)
endif()
if(NOT WIN32)
  # The editor window tests start their own Xvfb and drive it through XTest.
  target_link_libraries(host_tests PRIVATE PkgConfig::XTST)
endif()
gtest_discover_tests(host_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
  PROPERTIES ENVIRONMENT "XDG_DATA_HOME=${TVX_TEST_HOME}")

# Windows only: natively the editor window tests are part of host_tests and
# start their own Xvfb.
if(WIN32 AND TVX_DISPLAY_TEST_SOURCES)
  add_executable(display_host_tests ${TVX_DISPLAY_TEST_SOURCES} ${TVX_TEST_SUPPORT})
  target_include_directories(display_host_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(display_host_tests PRIVATE vsthost_lib ${TVX_GTEST_LIBS} psapi shell32)
  target_compile_definitions(display_host_tests PRIVATE ${TVX_HOST_TEST_DEFINITIONS})
  add_dependencies(display_host_tests tessaravox_plugin painted_editor_plugin)
  target_link_options(display_host_tests PRIVATE -static)
  add_test(NAME display_host_tests
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/with_xvfb.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
      $<TARGET_FILE:display_host_tests>)
  set_tests_properties(display_host_tests PROPERTIES ENVIRONMENT "XDG_DATA_HOME=${TVX_TEST_HOME}" TIMEOUT 900
    RESOURCE_LOCK wine_display)
endif()
