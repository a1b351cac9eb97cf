# The Qt side: widgets, painting, printing, the executables and their tests.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Svg Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

# The layers' files that need Qt. Where a layer also has pure files, its Qt
# files form a library of their own beside it, so that the programs and tests
# that do not draw with Qt link no Qt.
zirvo_layer(zirvo_base_qt base LINK zirvo_base Qt6::Core FILES qtext_qt.cpp qtext_qt.h)

zirvo_layer(zirvo_render_qt render LINK zirvo_render zirvo_base_qt Qt6::Gui FILES
  painter_surface_qt.cpp painter_surface_qt.h)

zirvo_layer(zirvo_printing_qt printing LINK zirvo_printing zirvo_render_qt Qt6::PrintSupport FILES
  printer_dialog_qt.cpp printer_dialog_qt.h qprinter_device_qt.cpp qprinter_device_qt.h)

zirvo_layer(zirvo_widgets widgets LINK zirvo_printing_qt Qt6::Widgets FILES
  confirm_dialog_qt.cpp confirm_dialog_qt.h dialog_parts_qt.cpp dialog_parts_qt.h
  general_dialogs_qt.cpp general_dialogs_qt.h table_editor_qt.cpp table_editor_qt.h
  table_grid_qt.cpp table_grid_qt.h wait_qt.cpp wait_qt.h widgets_qt.cpp widgets_qt.h)
# The icons and pictures, drawn from SVG.
target_sources(zirvo_widgets PRIVATE resources/zirvo.qrc)
target_link_libraries(zirvo_widgets PRIVATE Qt6::Svg)

zirvo_layer(zirvo_editors editors LINK zirvo_widgets FILES
  marginal_editor_qt.cpp marginal_editor_qt.h numbering_dialog_qt.cpp numbering_dialog_qt.h
  numerator_editor_qt.cpp numerator_editor_qt.h)

zirvo_layer(zirvo_pages pages LINK zirvo_editors FILES
  journal_screen_qt.cpp journal_screen_qt.h preview_page_qt.cpp preview_page_qt.h
  print_page_qt.cpp print_page_qt.h
  alignment_dialog_qt.cpp alignment_dialog_qt.h sheet_designer_qt.cpp sheet_designer_qt.h)

zirvo_layer(zirvo_workspace workspace LINK zirvo_pages FILES
  editor_ports_qt.h presentation_page_qt.cpp presentation_page_qt.h sheet_size_dialog_qt.cpp
  sheet_size_dialog_qt.h step_repeat_dialog_qt.cpp step_repeat_dialog_qt.h workspace_screen_qt.cpp
  workspace_screen_qt.h)

zirvo_layer(zirvo_shell shell LINK zirvo_workspace FILES
  language_dialog_qt.cpp language_dialog_qt.h main_window_qt.cpp main_window_qt.h
  screens_qt.cpp screens_qt.h startup_qt.cpp startup_qt.h)

# The programs: each entry point links the highest layer it uses. Installed,
# the programs go to bin. An installed copy keeps its templates and
# DatosLoc.ini in each user's own data folder (see DataFolder()), so the
# installation holds no folder that users write to.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
function(zirvo_program exe main layer)
  add_executable(${exe} ${main})
  target_link_libraries(${exe} PRIVATE ${layer})
  # Earlier installations put a link to lib/zirvo/<exe> here; installing over
  # that link would leave the old program in place.
  install(CODE "set(installed \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${exe}\")
    if(IS_SYMLINK \"\${installed}\")
      file(REMOVE \"\${installed}\")
    endif()")
  install(TARGETS ${exe} RUNTIME DESTINATION bin)
endfunction()
zirvo_program(zirvo src/shell/zirvo_main.cpp zirvo_shell)
# The batch tool prints and previews with the engine: no screen of the program.
zirvo_program(zirvo-batch src/printing/zirvo_batch_main.cpp zirvo_printing_qt)

# gtest tests that need Qt (painting, printing to PDF, CUPS, the batch tool);
# the batch tool's runs against a register reach a private PostgreSQL server
# as the register's own tests do.
file(GLOB ZIRVO_ENGINE_TESTS CONFIGURE_DEPENDS tests/engine/*.cpp)
if(ZIRVO_ENGINE_TESTS)
  add_executable(zirvo_engine_tests ${ZIRVO_ENGINE_TESTS} tests/support/qt_gtest_main.cpp
                                    tests/support/postgres_server.cpp)
  target_link_libraries(zirvo_engine_tests PRIVATE zirvo_ui_test_support GTest::gtest
                                                   PkgConfig::SQLITE3 PkgConfig::LIBPQ)
  target_compile_definitions(zirvo_engine_tests PRIVATE
    ZIRVO_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    ZIRVO_BUILD_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(zirvo_engine_tests DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${ZIRVO_TEST_TIMEOUT})
endif()

# QtTest widget tests: one executable per tests/ui/*_test.cpp.
file(GLOB ZIRVO_UI_TESTS CONFIGURE_DEPENDS tests/ui/*_test.cpp)
# Their shared helpers are compiled once, into a library of their own.
add_library(zirvo_ui_test_support STATIC tests/support/ui_support.cpp tests/support/shell_support.cpp)
target_link_libraries(zirvo_ui_test_support PUBLIC zirvo_shell zirvo_test_doubles Qt6::Test)
target_compile_definitions(zirvo_ui_test_support PRIVATE
  ZIRVO_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
  ZIRVO_BUILD_DIR="${CMAKE_BINARY_DIR}")
foreach(test ${ZIRVO_UI_TESTS})
  get_filename_component(name ${test} NAME_WE)
  add_executable(${name} ${test})
  target_link_libraries(${name} PRIVATE zirvo_ui_test_support)
  target_compile_definitions(${name} PRIVATE
    ZIRVO_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    ZIRVO_BUILD_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  # Each runs all the slots of one screen.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                          TIMEOUT ${ZIRVO_SLOW_TEST_TIMEOUT})
endforeach()

# The benchmarks measure optimised code: the sanitizer build leaves them out.
# Each links the highest layer it uses.
if(NOT ZIRVO_SANITIZE)
  function(zirvo_bench name layer)
    add_executable(${name} bench/${name}.cpp)
    target_link_libraries(${name} PRIVATE ${layer})
  endfunction()
  zirvo_bench(journal_screen zirvo_pages)
  zirvo_bench(preview_paint zirvo_render_qt)
  zirvo_bench(preview_widget_paint zirvo_pages)
  zirvo_bench(preview_drag zirvo_pages)
  zirvo_bench(print_page_run zirvo_pages)
  zirvo_bench(print_room zirvo_printing_qt)
  zirvo_bench(print_throughput zirvo_printing_qt)
  zirvo_bench(startup_bench zirvo_shell)
  # The register's benches start a private PostgreSQL server as its tests do;
  # the engine's prints on the tests' recording device.
  zirvo_bench(register_bench zirvo_printing)
  target_sources(register_bench PRIVATE tests/support/postgres_server.cpp)
  target_include_directories(register_bench PRIVATE tests)
  target_link_libraries(register_bench PRIVATE PkgConfig::SQLITE3 PkgConfig::LIBPQ)
  zirvo_bench(register_engine_bench zirvo_printing)
  target_sources(register_engine_bench PRIVATE tests/support/postgres_server.cpp)
  target_link_libraries(register_engine_bench PRIVATE zirvo_test_doubles PkgConfig::LIBPQ)
endif()

# The programs in the build tree use the writable Datos folder beside them
# (templates and the language setting), as a portable copy does: only a
# folder no other account may write counts, whatever the umask.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/Datos)
file(CHMOD ${CMAKE_BINARY_DIR}/Datos
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)

install(FILES resources/zirvo.desktop DESTINATION share/applications)
install(FILES resources/emblem.svg DESTINATION share/icons/hicolor/scalable/apps RENAME zirvo.svg)

# An installation into a scratch DESTDIR must hold no path every account may write.
add_test(NAME install_permissions
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/install/no_world_writable.sh ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
set_tests_properties(install_permissions PROPERTIES TIMEOUT ${ZIRVO_TEST_TIMEOUT})

include(cmake/ZirvoPackage.cmake)

# The journal screen's test damages a register's record past the register.
target_link_libraries(journal_screen_test PRIVATE PkgConfig::SQLITE3)
