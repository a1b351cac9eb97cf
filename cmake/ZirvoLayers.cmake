# The folders of src/ are layers, lowest first; each may use the ones below it
# and none above. Every layer is a library of its own, and it compiles against
# an include root of its own, build/layers/<folder>, which holds links to its
# folder and the folders below it and nothing else: an #include "pages/..."
# written in template/ names no file there, and the build stops.
set(ZIRVO_LAYERS base catalog template render printing widgets editors pages workspace shell)
set(ZIRVO_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# The files every layer library names, to find any file of src/ left out.
set_property(GLOBAL PROPERTY ZIRVO_LAYER_FILES "")

foreach(layer ${ZIRVO_LAYERS})
  file(MAKE_DIRECTORY ${ZIRVO_LAYER_ROOTS}/${layer})
  foreach(below ${ZIRVO_LAYERS})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${below} ${ZIRVO_LAYER_ROOTS}/${layer}/${below} SYMBOLIC)
    if(below STREQUAL layer)
      break()
    endif()
  endforeach()
endforeach()

# zirvo_layer(<target> <folder> FILES <names in src/<folder>> [LINK <libraries>])
# makes the static library <target> of those files. A header no source of the
# layer includes is compiled too, through one generated source that includes
# every header of the list, so that a header cannot reach upwards either.
# LINK names the libraries the layer's headers need (public); its sources'
# own needs are added with target_link_libraries(<target> PRIVATE ...).
function(zirvo_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "FILES;LINK")
  if(NOT folder IN_LIST ZIRVO_LAYERS)
    message(FATAL_ERROR "${target}: ${folder} is not a layer of src/")
  endif()
  set(sources "")
  set(includes "")
  foreach(name ${arg_FILES})
    set(path ${CMAKE_SOURCE_DIR}/src/${folder}/${name})
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "${target}: src/${folder}/${name} does not exist")
    endif()
    list(APPEND sources ${path})
    if(name MATCHES "\\.h$")
      string(APPEND includes "#include \"${folder}/${name}\"\n")
    endif()
  endforeach()
  set(headers ${ZIRVO_LAYER_ROOTS}/${target}_headers.cpp)
  file(CONFIGURE OUTPUT ${headers} CONTENT "${includes}" @ONLY)
  add_library(${target} STATIC ${sources} ${headers})
  target_include_directories(${target} PUBLIC ${ZIRVO_LAYER_ROOTS}/${folder})
  target_link_libraries(${target} PUBLIC zirvo_warnings ${arg_LINK})
  set_property(GLOBAL APPEND PROPERTY ZIRVO_LAYER_FILES ${sources})
endfunction()

# Stops the configuration when a file of src/ belongs to no layer library and
# is no program's entry point: it would be neither built nor checked.
function(zirvo_check_layer_files)
  get_property(named GLOBAL PROPERTY ZIRVO_LAYER_FILES)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.cpp)
  foreach(file ${files})
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR}/src ${file})
    string(REGEX MATCH "^[^/]*" folder ${relative})
    if(NOT folder IN_LIST ZIRVO_LAYERS)
      message(FATAL_ERROR "src/${relative}: ${folder} is not a layer (see ZIRVO_LAYERS)")
    endif()
    # A build of the core alone leaves the Qt files out.
    if(ZIRVO_CORE_ONLY AND file MATCHES "_qt\\.(cpp|h)$")
      continue()
    endif()
    if(NOT file IN_LIST named AND NOT file MATCHES "_main\\.cpp$")
      message(FATAL_ERROR "src/${relative} is in no layer library's list of files")
    endif()
  endforeach()
endfunction()

# The pure C++ layers: no Qt.
zirvo_layer(zirvo_base base FILES
  bitmap.h csv.cpp csv.h file_io.cpp file_io.h helpers.cpp helpers.h messages.cpp messages.h
  platform.cpp platform.h qr_matrix.cpp qr_matrix.h text.cpp text.h)
# QR Code symbols come from libqrencode; the linear symbologies have their own tables.
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
target_link_libraries(zirvo_base PRIVATE PkgConfig::QRENCODE)

zirvo_layer(zirvo_catalog catalog LINK zirvo_base FILES
  catalog.cpp catalog.h catalog_tables.cpp ini_file.cpp ini_file.h message_codes.h)

zirvo_layer(zirvo_template template LINK zirvo_catalog FILES
  barcode_setting.cpp barcode_setting.h numbering_rule.cpp numbering_rule.h cell_values.h confirmation.h editing_session.cpp
  editing_session.h marginal_table.cpp marginal_table.h numerator_table.cpp numerator_table.h
  print_job.h record_barcodes.cpp record_barcodes.h records.h rule_display.cpp rule_display.h
  series.cpp series.h step_repeat.cpp step_repeat.h template.cpp
  template.h template_codec.cpp template_codec.h template_file.cpp template_file.h
  text_table.cpp text_table.h
  background_alignment.cpp background_alignment.h sheet_selection.cpp sheet_selection.h
  template_history.cpp template_history.h)

zirvo_layer(zirvo_render render LINK zirvo_template FILES
  bar_modules.cpp bar_modules.h barcode.cpp barcode.h sheet_frame.cpp sheet_frame.h
  sheet_render.cpp sheet_render.h surface.h)

zirvo_layer(zirvo_printing printing LINK zirvo_render FILES
  batch_options.cpp batch_options.h continue_numbering.cpp continue_numbering.h cups_spooler.cpp
  job_register.cpp job_register.h number_register.cpp number_register.h page_device.h
  postgres_register.cpp postgres_register.h print_engine.cpp print_engine.h print_spooler.cpp
  print_spooler.h printer_calibration.cpp printer_calibration.h printer_setting.h
  progression.cpp progression.h register_export.cpp register_export.h register_settings.cpp
  register_settings.h run_journal.cpp run_journal.h spool_run.cpp spool_run.h
  sqlite_register.cpp sqlite_register.h)
set_property(SOURCE src/printing/batch_options.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS ZIRVO_VERSION="${PROJECT_VERSION}")
# Runs to a queue go to the CUPS scheduler as jobs through libcups: its
# pkg-config file where the distribution ships one, else CMake's own search
# (Debian's libcups2-dev has no cups.pc).
pkg_check_modules(CUPS QUIET IMPORTED_TARGET cups)
if(TARGET PkgConfig::CUPS)
  target_link_libraries(zirvo_printing PRIVATE PkgConfig::CUPS)
else()
  find_package(Cups REQUIRED)
  target_link_libraries(zirvo_printing PRIVATE Cups::Cups)
endif()
# The numbering register: embedded in a SQLite file beside the templates, or
# on a PostgreSQL server that a print room shares.
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
target_link_libraries(zirvo_printing PRIVATE PkgConfig::SQLITE3 PkgConfig::LIBPQ)
