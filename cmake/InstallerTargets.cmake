# Helpers that keep every target's files and links written out in one place.

# installer_sources(TARGET [SHARED files...] [MACOS files...] [OTHER files...])
# Adds the shared files and the per-OS ones of the system being built for: MACOS on
# macOS, OTHER (the *_linux files) everywhere else. Records the files a macOS build
# compiles in the global property INSTALLER_MACOS_SOURCES as "target|path", which
# installer_write_macos_sources() writes out for scripts/check-macos.sh.
function(installer_sources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SHARED;MACOS;OTHER")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "installer_sources(${target}): put ${arg_UNPARSED_ARGUMENTS} under SHARED, MACOS or OTHER")
  endif()
  if(APPLE)
    target_sources(${target} PRIVATE ${arg_SHARED} ${arg_MACOS})
  else()
    target_sources(${target} PRIVATE ${arg_SHARED} ${arg_OTHER})
  endif()
  foreach(file IN LISTS arg_SHARED arg_MACOS)
    if(file MATCHES "\\.(cpp|mm)$")
      get_filename_component(path "${file}" ABSOLUTE)
      set_property(GLOBAL APPEND PROPERTY INSTALLER_MACOS_SOURCES "${target}|${path}")
    endif()
  endforeach()
endfunction()

# Writes FILE: one line "target|absolute path" per source file a macOS build compiles.
function(installer_write_macos_sources file)
  get_property(entries GLOBAL PROPERTY INSTALLER_MACOS_SOURCES)
  list(JOIN entries "\n" INSTALLER_MACOS_SOURCE_LINES)
  file(CONFIGURE OUTPUT "${file}" CONTENT "@INSTALLER_MACOS_SOURCE_LINES@\n" @ONLY)
endfunction()

# installer_add_test(NAME SOURCES files... LIBS targets... [AREA area] [ENVIRONMENT vars...])
# One test program and its ctest entry "AREA.NAME" (AREA defaults to the folder of the
# first source). LIBS says everything the test links besides Qt Test. Each program keeps the
# manifests its runs record in its own data folder, never the user's; installer_test_tmpdir()
# gives them their scratch folder.
function(installer_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "AREA" "SOURCES;LIBS;ENVIRONMENT")
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "installer_add_test(${name}): no SOURCES")
  endif()
  if(NOT arg_AREA)
    list(GET arg_SOURCES 0 first)
    get_filename_component(dir "${first}" DIRECTORY)
    get_filename_component(arg_AREA "${dir}" NAME)
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} Qt6::Test)
  add_test(NAME ${arg_AREA}.${name} COMMAND ${name})
  set_tests_properties(${arg_AREA}.${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/data/${name};XDG_RUNTIME_DIR=${CMAKE_CURRENT_BINARY_DIR}/runtime;${arg_ENVIRONMENT}"
      TIMEOUT 300)
  set_property(GLOBAL APPEND PROPERTY INSTALLER_TESTS ${arg_AREA}.${name})
endfunction()

# Scratch files of every test so far go to tmp/ of the build tree, never /tmp. Decided when
# ctest runs, so that a TMPDIR given to it wins: scripts/test.sh gives a copy-on-write volume.
function(installer_test_tmpdir)
  get_property(tests GLOBAL PROPERTY INSTALLER_TESTS)
  set(tmp "${CMAKE_CURRENT_BINARY_DIR}/tmp")
  file(CONFIGURE OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/tmpdir.cmake" CONTENT [[
set(tmp "$ENV{TMPDIR}")
if(tmp STREQUAL "")
  set(tmp "@tmp@")
  file(MAKE_DIRECTORY "${tmp}")
endif()
set_tests_properties(@tests@ PROPERTIES ENVIRONMENT_MODIFICATION "TMPDIR=set:${tmp}")
]] @ONLY)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
      "${CMAKE_CURRENT_BINARY_DIR}/tmpdir.cmake")
endfunction()
