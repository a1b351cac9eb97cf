# The Qt side: widgets, painting, printing, the executables and their tests.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Svg Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

file(GLOB ZIRVO_UI_SOURCES CONFIGURE_DEPENDS src/*/*_qt.cpp src/*/*_qt.h)
file(GLOB ZIRVO_RESOURCES CONFIGURE_DEPENDS resources/*.qrc)
add_library(zirvo_ui STATIC ${ZIRVO_UI_SOURCES} ${ZIRVO_RESOURCES})
target_link_libraries(zirvo_ui PUBLIC zirvo_core Qt6::Widgets Qt6::PrintSupport Qt6::Svg)

# Every src/<folder>/<name>_main.cpp becomes the executable <name> (underscores as dashes).
# Installed, the programs live in lib/zirvo with their Datos folder beside
# them (templates and DatosLoc.ini), and bin holds links to them.
set(ZIRVO_INSTALL_APPDIR lib/zirvo)
file(GLOB ZIRVO_MAINS CONFIGURE_DEPENDS src/*/*_main.cpp)
foreach(main ${ZIRVO_MAINS})
  get_filename_component(stem ${main} NAME_WE)
  string(REGEX REPLACE "_main$" "" exe ${stem})
  string(REPLACE "_" "-" exe ${exe})
  add_executable(${exe} ${main})
  target_link_libraries(${exe} PRIVATE zirvo_ui)
  install(TARGETS ${exe} RUNTIME DESTINATION ${ZIRVO_INSTALL_APPDIR})
  # bin/<exe> points at the program in its own folder, where Datos sits.
  install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../${ZIRVO_INSTALL_APPDIR}/${exe}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${exe}\" SYMBOLIC)")
endforeach()

# gtest tests that need Qt (painting, printing to PDF, CUPS, the batch tool).
file(GLOB ZIRVO_ENGINE_TESTS CONFIGURE_DEPENDS tests/engine/*.cpp)
if(ZIRVO_ENGINE_TESTS)
  add_executable(zirvo_engine_tests ${ZIRVO_ENGINE_TESTS} tests/support/qt_gtest_main.cpp)
  target_link_libraries(zirvo_engine_tests PRIVATE zirvo_ui Qt6::Test GTest::gtest)
  target_compile_definitions(zirvo_engine_tests PRIVATE
    ZIRVO_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    ZIRVO_BUILD_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(zirvo_engine_tests DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

# QtTest widget tests: one executable per tests/ui/*_test.cpp.
file(GLOB ZIRVO_UI_TESTS CONFIGURE_DEPENDS tests/ui/*_test.cpp)
file(GLOB ZIRVO_UI_TEST_SUPPORT CONFIGURE_DEPENDS tests/ui/support/*.cpp tests/ui/support/*.h)
foreach(test ${ZIRVO_UI_TESTS})
  get_filename_component(name ${test} NAME_WE)
  add_executable(${name} ${test} ${ZIRVO_UI_TEST_SUPPORT})
  target_link_libraries(${name} PRIVATE zirvo_ui Qt6::Test)
  target_include_directories(${name} PRIVATE tests/ui)
  target_compile_definitions(${name} PRIVATE
    ZIRVO_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    ZIRVO_BUILD_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endforeach()

file(GLOB ZIRVO_BENCHES CONFIGURE_DEPENDS bench/*.cpp)
foreach(bench ${ZIRVO_BENCHES})
  get_filename_component(name ${bench} NAME_WE)
  add_executable(${name} ${bench})
  target_link_libraries(${name} PRIVATE zirvo_ui)
endforeach()

# Templates and the language setting live in Datos beside the executable; the
# program never creates that folder itself.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/Datos)

# The installed Datos folder is made once and kept on reinstall, with the
# templates in it; every user of the machine may keep templates there.
install(CODE "set(datos \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZIRVO_INSTALL_APPDIR}/Datos\")
  if(NOT EXISTS \"\${datos}\")
    file(MAKE_DIRECTORY \"\${datos}\")
    file(CHMOD \"\${datos}\" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
         GROUP_READ GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_WRITE WORLD_EXECUTE)
  endif()")
install(FILES resources/zirvo.desktop DESTINATION share/applications)
install(FILES resources/emblem.svg DESTINATION share/icons/hicolor/scalable/apps RENAME zirvo.svg)
