# Host tests load the built plug-in through the binary interface, as a host
# does: natively the .so, and in the win64 build the DLL under wine64.
add_library(null_plugin MODULE ${CMAKE_CURRENT_SOURCE_DIR}/host/null_plugin.cpp)
set_target_properties(null_plugin PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testplugins)
if(WIN32)
  target_link_options(null_plugin PRIVATE -static)
  set(TVX_PATH_PREFIX "Z:")
else()
  set(TVX_PATH_PREFIX "")
endif()

file(GLOB TVX_HOST_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/host/*_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/vsthost/*_test.cpp)
add_executable(host_tests ${TVX_HOST_TEST_SOURCES} ${TVX_TEST_SUPPORT})
target_include_directories(host_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(host_tests PRIVATE vsthost_lib ${TVX_GTEST_LIBS})
add_dependencies(host_tests tessaravox_plugin null_plugin)
target_compile_definitions(host_tests PRIVATE
  TVX_PLUGIN_PATH="${TVX_PATH_PREFIX}$<TARGET_FILE:tessaravox_plugin>"
  TVX_NULL_PLUGIN_PATH="${TVX_PATH_PREFIX}$<TARGET_FILE:null_plugin>"
  TVX_TEST_DATA_DIR="${TVX_PATH_PREFIX}${CMAKE_SOURCE_DIR}/tests/data"
  TVX_PRESETS_DIR="${TVX_PATH_PREFIX}${CMAKE_SOURCE_DIR}/presets"
  TVX_SCRATCH_DIR="${TVX_PATH_PREFIX}${CMAKE_BINARY_DIR}/scratch")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/scratch)
if(CMAKE_CROSSCOMPILING)
  target_link_options(host_tests PRIVATE -static)
endif()
gtest_discover_tests(host_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
  PROPERTIES ENVIRONMENT "XDG_DATA_HOME=${TVX_TEST_HOME}")
