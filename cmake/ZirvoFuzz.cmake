# libFuzzer targets: one executable per tests/fuzz/*_fuzz.cpp, built with
# clang and linked against the instrumented core (see `make fuzz`).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ZIRVO_FUZZ needs clang++ (configure with -DCMAKE_CXX_COMPILER=clang++)")
endif()
file(GLOB ZIRVO_FUZZ_TARGETS CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
foreach(target ${ZIRVO_FUZZ_TARGETS})
  get_filename_component(name ${target} NAME_WE)
  add_executable(${name} ${target})
  target_link_libraries(${name} PRIVATE zirvo_test_doubles)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
