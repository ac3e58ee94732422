# Compiler settings shared by every target of our own.

set(QUILLBAR_WARNINGS -Wall -Wextra -Wpedantic)
if(QUILLBAR_WERROR)
  list(APPEND QUILLBAR_WARNINGS -Werror)
endif()

if(QUILLBAR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QUILLBAR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
endif()

# quillbar_target(<target>): warnings and the source root as include path.
function(quillbar_target target)
  target_compile_options(${target} PRIVATE ${QUILLBAR_WARNINGS})
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER)
endfunction()

# quillbar_library(<name> <sources...>): one static library per folder of src/.
function(quillbar_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  quillbar_target(${name})
endfunction()

# quillbar_test(<name> LIBS <libs...> SOURCES <sources...> [X11]): one test executable per
# folder, registered with CTest. X11 tests need a real X server and carry the label "x11"; they
# share that server's pointer, keyboard and focus, so they run one at a time.
function(quillbar_test name)
  cmake_parse_arguments(QT "X11" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${QT_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  quillbar_target(${name})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} quillbar_testsupport GTest::gtest GTest::gmock)
  if(QT_X11)
    target_link_libraries(${name} PRIVATE quillbar_testmain_x11)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS x11 RESOURCE_LOCK x11-display
                 ENVIRONMENT "QT_QPA_PLATFORM=xcb")
  else()
    target_link_libraries(${name} PRIVATE quillbar_testmain)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
