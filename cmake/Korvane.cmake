# korvane_library(NAME SOURCES... LIBS...): one library target per subsystem folder, with src/
# on the include path so that includes read "text/Cp1251.h", "music/MusicList.h" and so on.
function(korvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    # The program's modules (korvane_module) link these libraries into shared objects.
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# The locale the tests run under: C.UTF-8 by default; CI runs the suite under ru_RU.UTF-8 too, so
# that a locale leaking into a written file fails a test.
set(KORVANE_TEST_LOCALE "C.UTF-8" CACHE STRING "LC_ALL of the test runs")

# korvane_test(NAME [GUI] SOURCES... LIBS...): one GoogleTest executable. GUI tests get a main()
# that creates the QApplication; they run offscreen. KORVANE_TEST_DATA points at tests/data for
# the few committed fixtures.
function(korvane_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    if(ARG_GUI)
        add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/GuiTestMain.cpp)
        set(main_lib Qt6::Widgets)
    else()
        add_executable(${name} ${ARG_SOURCES})
        set(main_lib GTest::gtest_main)
    endif()
    # tests/support holds what several test folders share (the FakeDesktop, temp trees).
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock ${main_lib})
    target_compile_definitions(${name} PRIVATE
        KORVANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        KORVANE_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    add_dependencies(${name} korvane_data)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=${KORVANE_TEST_LOCALE}"
        DISCOVERY_TIMEOUT 60)
endfunction()

# korvane_fuzzer(NAME SOURCE LIBS...): a libFuzzer target, built only with KORVANE_FUZZ and clang.
function(korvane_fuzzer name source)
    if(NOT KORVANE_FUZZ)
        return()
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARGN})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# Where the modules are installed: the private folder of Debian's multiarch layout, which the
# dynamic linker's cache does not cover (so the package needs no ldconfig).
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(KORVANE_MODULE_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/korvane)
else()
    set(KORVANE_MODULE_DIR lib/korvane)
endif()

# korvane_module(NAME SOURCES... LIBS...): a module of the program (NAME.so), loaded at run time
# by loadModuleEntry: built beside the executables, installed to KORVANE_MODULE_DIR, where the
# program looks relative to bin/.
function(korvane_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY
                                                       ${CMAKE_BINARY_DIR}/bin)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    # A symbol missing from a module would only show when it is first loaded.
    if(NOT KORVANE_SANITIZE AND NOT KORVANE_FUZZ)
        target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    install(TARGETS ${name} LIBRARY DESTINATION ${KORVANE_MODULE_DIR})
endfunction()
