# ts_library(<name> DEPS <targets...>)
# One static library per source folder: every .cpp/.h in the folder (not below it).
# Target name: ts_<layer>_<folder>, e.g. ts_core_tdl for core/tdl.
function(ts_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_property(GLOBAL APPEND PROPERTY TS_LIBRARIES ${name})
endfunction()

# ts_tests(<library>): one test executable per *_test.cpp in the current folder, linked
# with <library> (and what it pulls in), GoogleTest and the test support library.
function(ts_tests lib)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix "${rel}")
  foreach(t ${tests})
    get_filename_component(stem ${t} NAME_WE)
    set(exe test_${prefix}_${stem})
    add_executable(${exe} ${t})
    target_link_libraries(${exe} PRIVATE ${lib} ${ARG_DEPS} ts_test_support Qt6::Test GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${exe}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      DISCOVERY_TIMEOUT 30)
  endforeach()
endfunction()
include(GoogleTest)

# Adds every child folder that has a CMakeLists.txt, in name order.
macro(ts_subdirs)
  file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  foreach(_c ${_children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_c}/CMakeLists.txt)
      add_subdirectory(${_c})
    endif()
  endforeach()
endmacro()

# ts_benches(<library>): one benchmark program per *_bench.cpp in the current folder, linked with
# <library>. Benchmarks are not built with the project nor run as tests: the `bench` target builds
# them and scripts/bench.sh runs them.
if(NOT TARGET bench)
  add_custom_target(bench)
endif()
function(ts_benches lib)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_bench.cpp)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/bench ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix "${rel}")
  foreach(b ${benches})
    get_filename_component(stem ${b} NAME_WE)
    set(exe bench_${prefix}_${stem})
    add_executable(${exe} EXCLUDE_FROM_ALL ${b})
    # The test kit: the doubles a benchmark drives the program with.
    target_link_libraries(${exe} PRIVATE ${lib} ${ARG_DEPS} ts_testkit)
    target_compile_definitions(${exe} PRIVATE TS_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
    add_dependencies(bench ${exe})
  endforeach()
endfunction()
