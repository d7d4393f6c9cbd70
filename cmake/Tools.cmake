# The command-line host.
file(GLOB TVX_VSTHOST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/vsthost/*.cpp)
list(APPEND TVX_VSTHOST_SOURCES ${CMAKE_SOURCE_DIR}/src/params/parameter_table.cpp)
list(FILTER TVX_VSTHOST_SOURCES EXCLUDE REGEX "tools/vsthost/main\\.cpp$")
# The editor window: one implementation per window system.
if(WIN32)
  file(GLOB TVX_VSTHOST_WINDOW_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/vsthost/win32/*.cpp)
else()
  file(GLOB TVX_VSTHOST_WINDOW_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/vsthost/posix/*.cpp)
endif()
list(APPEND TVX_VSTHOST_SOURCES ${TVX_VSTHOST_WINDOW_SOURCES})
add_library(vsthost_lib STATIC ${TVX_VSTHOST_SOURCES})
target_include_directories(vsthost_lib PUBLIC ${CMAKE_SOURCE_DIR}/tools ${CMAKE_SOURCE_DIR}/src)
if(WIN32)
  target_link_libraries(vsthost_lib PUBLIC user32 gdi32 gdiplus)
else()
  # The editor window: an X11 top-level window, captured to PNG with cairo.
  target_link_libraries(vsthost_lib PUBLIC ${CMAKE_DL_LIBS} PkgConfig::X11 PkgConfig::CAIRO)
endif()

add_executable(vsthost ${CMAKE_SOURCE_DIR}/tools/vsthost/main.cpp)
target_link_libraries(vsthost PRIVATE vsthost_lib)
if(WIN32)
  target_link_options(vsthost PRIVATE -static)
endif()
set_target_properties(vsthost PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Standard MIDI File writing for the tools that make MIDI files and the tests.
add_library(midi_builder STATIC ${CMAKE_SOURCE_DIR}/tools/midi/midi_builder.cpp)
target_include_directories(midi_builder PUBLIC ${CMAKE_SOURCE_DIR}/tools)

# Writes the demo MIDI file (the committed demo/demo.mid is its output).
add_executable(make_demo_midi ${CMAKE_SOURCE_DIR}/tools/demo/make_demo_midi.cpp)
target_link_libraries(make_demo_midi PRIVATE midi_builder)
set_target_properties(make_demo_midi PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Joins the renders of a bank's presets into one audition file.
add_executable(join_wavs ${CMAKE_SOURCE_DIR}/tools/demo/join_wavs.cpp)
target_link_libraries(join_wavs PRIVATE vsthost_lib)
set_target_properties(join_wavs PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Draws the four built-in images (the committed resources/*.png are its output).
if(NOT WIN32)
  file(GLOB TVX_IMAGEGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/imagegen/*.cpp)
  list(FILTER TVX_IMAGEGEN_SOURCES EXCLUDE REGEX "tools/imagegen/main\\.cpp$")
  add_library(imagegen_lib STATIC ${TVX_IMAGEGEN_SOURCES})
  target_include_directories(imagegen_lib PUBLIC ${CMAKE_SOURCE_DIR}/tools/imagegen)
  target_link_libraries(imagegen_lib PUBLIC PkgConfig::CAIRO)
  add_executable(imagegen ${CMAKE_SOURCE_DIR}/tools/imagegen/main.cpp)
  target_link_libraries(imagegen PRIVATE imagegen_lib)
  set_target_properties(imagegen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

# Writes the held-note MIDI files of bench/peer_comparison.sh.
add_executable(make_held_notes ${CMAKE_SOURCE_DIR}/tools/bench/make_held_notes.cpp)
target_link_libraries(make_held_notes PRIVATE midi_builder)
set_target_properties(make_held_notes PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

foreach(tool vsthost_lib vsthost midi_builder make_demo_midi join_wavs imagegen_lib imagegen make_held_notes)
  if(TARGET ${tool})
    target_compile_options(${tool} PRIVATE ${TVX_CONVERSION_WARNINGS})
  endif()
endforeach()
