# tdx_add_test(NAME SOURCES src... [LIBS lib...])
# One GoogleTest executable per module; each test case is registered with CTest.
# Every test case runs in a fresh folder of its own under the executable's work folder
# (tests/support/test_main.cpp), so cases that CTest runs at once never share data files.
function(tdx_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(NOT TARGET tdx_test_main)
    add_library(tdx_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
    target_link_libraries(tdx_test_main PUBLIC GTest::gtest)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} tdx_test_main GTest::gtest GTest::gmock pthread)
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
