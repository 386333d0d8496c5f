# tdx_add_test(NAME SOURCES src... [LIBS lib...])
# One GoogleTest executable per module; each test case is registered with CTest.
# Tests run in their own scratch folder under the build tree so that data files never collide.
function(tdx_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock pthread)
  target_compile_definitions(${name} PRIVATE TDX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             TDX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(workdir ${CMAKE_CURRENT_BINARY_DIR}/${name}.work)
  file(MAKE_DIRECTORY ${workdir})
  gtest_discover_tests(${name} WORKING_DIRECTORY ${workdir} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "TDX_TEST_WORKDIR=${workdir}")
endfunction()

# tdx_runtime_module(SOURCES src...): adds one runtime folder's sources to tdxruntime.
function(tdx_runtime_sources)
  target_sources(tdxruntime PRIVATE ${ARGN})
endfunction()
