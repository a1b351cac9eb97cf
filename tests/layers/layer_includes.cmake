# Run by ctest (cmake -P): compiles one-line sources with the include
# directories each layer library has, given as -DDIRS_<layer>=dir|dir..., and
# checks that a layer reaches its own and the lower folders and no higher one.
# Expected: "ok" compiles; "missing" stops because the header is not found.
set(cases
  "base|base/text.h|ok"
  "base|catalog/catalog.h|missing"
  "catalog|base/text.h|ok"
  "catalog|template/records.h|missing"
  "template|catalog/catalog.h|ok"
  "template|render/surface.h|missing"
  "template|pages/print_page_qt.h|missing"
  "render|template/records.h|ok"
  "render|printing/page_device.h|missing"
  "printing|render/surface.h|ok"
  "printing|widgets/wait_qt.h|missing"
  "printing|shell/startup_qt.h|missing")

set(probe ${CMAKE_CURRENT_BINARY_DIR}/layer_probe.cpp)
set(failures 0)
foreach(case ${cases})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 layer)
  list(GET fields 1 header)
  list(GET fields 2 expected)
  string(REPLACE "|" ";" dirs "${DIRS_${layer}}")
  if(NOT dirs)
    message(SEND_ERROR "no include directories given for ${layer}")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  list(TRANSFORM dirs PREPEND "-I")
  file(WRITE ${probe} "#include \"${header}\"\n")
  execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only ${dirs} ${probe}
                  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE errors)
  if(expected STREQUAL "ok" AND NOT result EQUAL 0)
    message(SEND_ERROR "${layer} cannot include ${header}:\n${errors}")
    math(EXPR failures "${failures} + 1")
  elseif(expected STREQUAL "missing" AND
         (result EQUAL 0 OR NOT errors MATCHES "${header}.*(No such file|not found)"))
    message(SEND_ERROR "${layer} includes ${header} from a higher layer (exit ${result}):\n${errors}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
file(REMOVE ${probe})
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} of the layer include cases failed")
endif()
