# Compiler settings shared by every target of the project (not by third-party code).

# build/ holds both trees (win32, native) and what they share (deps, dist, wineprefix).
get_filename_component(PLUMORA_BUILD_ROOT ${CMAKE_BINARY_DIR} DIRECTORY)

add_library(plumora_options INTERFACE)
target_compile_options(plumora_options INTERFACE -Wall -Wextra -Wshadow -Werror)

if(WIN32)
  target_compile_definitions(plumora_options INTERFACE
    UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No MinGW runtime DLL beside the programs.
  target_link_options(plumora_options INTERFACE -static -static-libgcc -static-libstdc++)
  # Tests and tools run under Wine; 64-bit ones in the 64-bit prefix.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CMAKE_CROSSCOMPILING_EMULATOR env PLUMORA_WINEARCH=win64 ${PROJECT_SOURCE_DIR}/tools/wine.sh)
  else()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine.sh)
  endif()
else()
  option(PLUMORA_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)
  if(PLUMORA_SANITIZE)
    set(plumora_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_compile_options(plumora_options INTERFACE ${plumora_sanitizers})
    target_link_options(plumora_options INTERFACE ${plumora_sanitizers})
  endif()
endif()

# Adds a GoogleTest program whose tests ctest lists one by one.
function(plumora_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE plumora_options GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
endfunction()
