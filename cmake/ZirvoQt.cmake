# The Qt side: widgets, painting, printing, the executables and their tests.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Svg Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

file(GLOB ZIRVO_UI_SOURCES CONFIGURE_DEPENDS src/*/*_qt.cpp src/*/*_qt.h)
file(GLOB ZIRVO_RESOURCES CONFIGURE_DEPENDS resources/*.qrc)
add_library(zirvo_ui STATIC ${ZIRVO_UI_SOURCES} ${ZIRVO_RESOURCES})
target_link_libraries(zirvo_ui PUBLIC zirvo_core Qt6::Widgets Qt6::PrintSupport Qt6::Svg)

# Every src/<folder>/<name>_main.cpp becomes the executable <name> (underscores as dashes).
# Installed, the programs go to bin. An installed copy keeps its templates and
# DatosLoc.ini in each user's own data folder (see DataFolder()), so the
# installation holds no folder that users write to.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(GLOB ZIRVO_MAINS CONFIGURE_DEPENDS src/*/*_main.cpp)
foreach(main ${ZIRVO_MAINS})
  get_filename_component(stem ${main} NAME_WE)
  string(REGEX REPLACE "_main$" "" exe ${stem})
  string(REPLACE "_" "-" exe ${exe})
  add_executable(${exe} ${main})
  target_link_libraries(${exe} PRIVATE zirvo_ui)
  # Earlier installations put a link to lib/zirvo/<exe> here; installing over
  # that link would leave the old program in place.
  install(CODE "set(installed \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${exe}\")
    if(IS_SYMLINK \"\${installed}\")
      file(REMOVE \"\${installed}\")
    endif()")
  install(TARGETS ${exe} RUNTIME DESTINATION bin)
endforeach()

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
target_link_libraries(zirvo_ui_test_support PUBLIC zirvo_ui zirvo_test_doubles Qt6::Test)
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
file(GLOB ZIRVO_BENCHES CONFIGURE_DEPENDS bench/*.cpp)
if(ZIRVO_SANITIZE)
  set(ZIRVO_BENCHES "")
endif()
foreach(bench ${ZIRVO_BENCHES})
  get_filename_component(name ${bench} NAME_WE)
  add_executable(${name} ${bench})
  target_link_libraries(${name} PRIVATE zirvo_ui)
endforeach()

# The register's bench starts a private PostgreSQL server as its tests do.
if(TARGET register_bench)
  target_sources(register_bench PRIVATE tests/support/postgres_server.cpp)
  target_include_directories(register_bench PRIVATE tests)
  target_link_libraries(register_bench PRIVATE PkgConfig::SQLITE3 PkgConfig::LIBPQ)
endif()
# So does the engine's, which prints on the tests' recording device.
if(TARGET register_engine_bench)
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
