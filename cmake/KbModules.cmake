# kb_sources(<var>)
# Every .cpp below the current folder, its concept sub-folders included, but
# none below a sub-folder that has a CMakeLists.txt of its own (a library or
# test binary of its own, such as ui/ or a test support folder).
function(kb_sources var)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE own_lists ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(list_file IN LISTS own_lists)
    get_filename_component(own_dir ${list_file} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${own_dir}/")
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

# kb_module(<target> [DEPS libs...])
# Builds every .cpp of the current folder and its concept sub-folders into a
# static library. A folder without sources yet gives an interface library, so the
# link graph stays the same while the subsystem grows.
function(kb_module target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  kb_sources(sources)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# kb_test_binary(<name> DEPS libs... [GL] [QTMAIN] [NO_UNITY])
# One GoogleTest binary from every .cpp of the current folder and its
# concept sub-folders. Binaries that
# show GL widgets bring their own main and run under xvfb-run as one test.
function(kb_test_binary name)
  cmake_parse_arguments(ARG "GL;QTMAIN;NO_UNITY" "" "DEPS" ${ARGN})
  kb_sources(sources)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kb_testsupport GTest::gtest)
  if(NOT ARG_QTMAIN AND NOT ARG_GL)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  # Test files share their heavy headers (GoogleTest, Qt, OSG): compiled a
  # batch at a time, they are parsed once per batch. Files that name helpers
  # alike keep their helpers and tests in a namespace named after the file (as
  # the core, CAD and IO tests do); a binary that cannot passes NO_UNITY.
  if(KB_UNITY_TESTS AND NOT ARG_NO_UNITY)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
    # A fixture in a file's anonymous namespace is no fault once the file
    # is included into a batch.
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  target_compile_definitions(${name} PRIVATE
    KB_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures"
    KB_DATA_SOURCE_DIR="${CMAKE_SOURCE_DIR}/data"
    KB_DATA_DIR="${KB_DATA_DIR}")
  if(ARG_GL)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x800x24" $<TARGET_FILE:${name}>)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
