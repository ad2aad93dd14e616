# Shared build helpers: warnings, sanitizers, one static library per layer, one call per test binary.

macro(orvia_set_global_flags)
  add_compile_options(-Wall -Wextra -Wpedantic -Werror -Wno-error=deprecated-declarations)
  if(ORVIA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(ORVIA_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # The libraries under a fuzz target need coverage feedback and the sanitizers too.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  add_compile_definitions(QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY)
endmacro()

# orvia_add_library(NAME DIRS d1 [d2...] LIBS l1 ...): a static library of every .cpp/.h in the folders.
function(orvia_add_library name)
  cmake_parse_arguments(A "" "" "DIRS;LIBS" ${ARGN})
  set(srcs)
  foreach(d ${A_DIRS})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${d}/*.cpp ${d}/*.h ${d}/*.qrc)
    list(APPEND srcs ${s})
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# orvia_add_test(NAME LABEL label LIBS l1 ... [SOURCES s...]): a GoogleTest binary of the calling folder's
# *.cpp files (or SOURCES), registered with CTest under LABEL.
function(orvia_add_test name)
  cmake_parse_arguments(A "" "LABEL" "LIBS;SOURCES" ${ARGN})
  if(A_SOURCES)
    set(srcs ${A_SOURCES})
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock orvia_testmain)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} PROPERTIES LABELS "${A_LABEL}" DISCOVERY_TIMEOUT 60)
  # The environment is set on the discovered tests afterwards: gtest_discover_tests flattens a list-valued
  # property, so only the first variable of an ENVIRONMENT list would reach the tests.
  set(env_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${env_file}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"QT_QPA_PLATFORM=offscreen;"
    "ORVIA_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};ORVIA_SOURCE_DIR=${PROJECT_SOURCE_DIR}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_file})
endfunction()

# orvia_add_fuzzer(NAME SOURCES s... LIBS l...): built only with ORVIA_FUZZ and clang.
function(orvia_add_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(ORVIA_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_executable(${name} ${A_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  endif()
endfunction()

# Adds every immediate sub-folder of the calling folder that has a CMakeLists.txt.
function(orvia_add_subdirs)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(c ${children})
    if(IS_DIRECTORY ${c} AND EXISTS ${c}/CMakeLists.txt)
      add_subdirectory(${c})
    endif()
  endforeach()
endfunction()
