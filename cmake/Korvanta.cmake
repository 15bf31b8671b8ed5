# Helpers shared by every part of the tree.

# korvanta_add_module(<name> SOURCES ... LIBS ...)
# An in-process server: lib<name>.so in the module folder. -Bsymbolic keeps the
# module's own copy of the static base classes (object count, factory table)
# bound inside the module, the way every Windows DLL links its own copy.
function(korvanta_add_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
  set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${KORVANTA_MODULE_DIR})
endfunction()

# The tests `make test-tsan` runs under ThreadSanitizer (label "tsan") are
# built by this one target, so the thread-sanitizer tree builds nothing else.
if(NOT TARGET kv_tsan_tests)
  add_custom_target(kv_tsan_tests)
endif()

# korvanta_add_test(<name> SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s] [RUN_SERIAL])
# A GoogleTest executable; its main points the registry at a fresh temporary
# folder and selects Qt's offscreen platform, so tests never see the user's setup.
# RUN_SERIAL: its tests run while no other test does (captures that play a
# deck in real time must not compete with the rest of the suite for the CPU).
# LABELS tsan: part of the thread-sanitizer run.
function(korvanta_add_test name)
  cmake_parse_arguments(ARG "RUN_SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if("tsan" IN_LIST ARG_LABELS)
    add_dependencies(kv_tsan_tests ${name})
  endif()
  target_link_libraries(${name} PRIVATE kv_testmain ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
      KORVANTA_MODULE_DIR="${KORVANTA_MODULE_DIR}"
      KORVANTA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      KORVANTA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(serial FALSE)
  if(ARG_RUN_SERIAL)
    set(serial TRUE)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL ${serial} LABELS "${ARG_LABELS}")
endfunction()

# korvanta_add_benchmark(<name> SOURCES ... LIBS ...)
# Built with everything else, never run by ctest: `make bench` runs them.
function(korvanta_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE KORVANTA_MODULE_DIR="${KORVANTA_MODULE_DIR}")
endfunction()
