# The plug-in itself: the core library plus the entry point.
add_library(tessaravox_plugin MODULE ${CMAKE_SOURCE_DIR}/src/plugin/entry.cpp)
target_link_libraries(tessaravox_plugin PRIVATE tessaravox_core)
target_compile_options(tessaravox_plugin PRIVATE ${TVX_CONVERSION_WARNINGS})
set_target_properties(tessaravox_plugin PROPERTIES PREFIX "")

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TVX_PLUGIN_NAME Tessaravox)
  else()
    set(TVX_PLUGIN_NAME Tessaravox_32)
  endif()
  target_sources(tessaravox_plugin PRIVATE ${CMAKE_SOURCE_DIR}/src/plugin/exports.def)
  target_link_libraries(tessaravox_plugin PRIVATE tessaravox_resources)
  # Only Windows system DLLs may be imported: the C++ runtime is linked in.
  target_link_options(tessaravox_plugin PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
  set_target_properties(tessaravox_plugin PROPERTIES OUTPUT_NAME ${TVX_PLUGIN_NAME} SUFFIX ".dll")
else()
  set(TVX_PLUGIN_NAME Tessaravox)
  set_target_properties(tessaravox_plugin PROPERTIES OUTPUT_NAME ${TVX_PLUGIN_NAME} SUFFIX ".so"
    LINK_DEPENDS ${CMAKE_SOURCE_DIR}/src/plugin/exports.map)
  target_link_options(tessaravox_plugin PRIVATE -Wl,--no-undefined -Wl,--exclude-libs,ALL
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/src/plugin/exports.map)
endif()
set_target_properties(tessaravox_plugin PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin)
