# Project-wide build settings and helpers.

# Designated initialisers name only the members a site sets; the others keep
# their defaults, which is what -Wmissing-field-initializers complains about.
add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
if(MARLEX_WERROR)
  add_compile_options(-Werror)
endif()

if(MARLEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MARLEX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "MARLEX_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# marlex_add_library(name DEPENDS ...)
# One static library per source folder, made of the folder's sources; headers
# are included from src/ as "folder/Header.h".
function(marlex_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/src/platform)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# marlex_add_test(name DEPENDS ...)
# One GoogleTest executable per test folder, made of the folder's sources;
# every case becomes a ctest test.
function(marlex_add_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/main.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/src/platform ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} marlex_fixtures GTest::gtest Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE
    MARLEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MARLEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

include(GoogleTest)
