# Helpers that declare the package's libraries, tests, benchmarks and fuzz targets.
#
# Each core subsystem is a static library lmcore_<name>; lmcore gathers them all. Keeping the
# subsystems apart lets a test link only what it exercises.

set(LMPACK_CORE_PARTS "" CACHE INTERNAL "core subsystem libraries")

# lm_core_part(<name> SOURCES ... [DEPS ...] [LIBS ...])
function(lm_core_part name)
  cmake_parse_arguments(P "" "" "SOURCES;DEPS;LIBS" ${ARGN})
  set(target lmcore_${name})
  add_library(${target} STATIC ${P_SOURCES})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/lmpack>)
  foreach(dep IN LISTS P_DEPS)
    target_link_libraries(${target} PUBLIC lmcore_${dep})
  endforeach()
  if(P_LIBS)
    target_link_libraries(${target} PUBLIC ${P_LIBS})
  endif()
  set(LMPACK_CORE_PARTS ${LMPACK_CORE_PARTS} ${target} CACHE INTERNAL "core subsystem libraries")
endfunction()

# lm_add_test(<name> LABEL <label> SOURCES ... LIBS ...)
# One GoogleTest executable; every test in it carries the ctest label.
function(lm_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE LMPACK_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                              LMPACK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(env "")
  if(T_LABEL STREQUAL "ui")
    set(env "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "${env}"
    DISCOVERY_TIMEOUT 120)
endfunction()

# lm_add_fuzz(<name> SOURCES ... LIBS ...)
# With LMPACK_FUZZ a libFuzzer executable; otherwise a replay program and a ctest (label unit)
# that runs every input kept in fuzz/corpus/<name>, so CI re-checks what the fuzzer found.
function(lm_add_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(LMPACK_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${name}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    add_test(NAME ${name}.corpus
             COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(${name}.corpus PROPERTIES LABELS unit)
  endif()
endfunction()
