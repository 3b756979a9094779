# corvane_add_test(NAME name SOURCES files... [LIBS targets...] [TIMEOUT seconds] [LABELS labels...])
#
# One QtTest executable registered with CTest. Every test runs offscreen, in
# its own temporary folders (the test support library sees to that), with a
# timeout so that nothing can hang CI.
function(corvane_add_test)
    cmake_parse_arguments(arg "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 120)
    endif()
    qt_add_executable(${arg_NAME} ${arg_SOURCES})
    target_link_libraries(${arg_NAME} PRIVATE corvane_testsupport ${arg_LIBS})
    add_test(NAME ${arg_NAME} COMMAND ${arg_NAME})
    set_tests_properties(${arg_NAME} PROPERTIES
        TIMEOUT ${arg_TIMEOUT}
        LABELS "${arg_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()

# corvane_add_skipped_tests(NAMES names... REASON text [LABELS labels...])
#
# Tests that cannot run on this machine or were left out of the build: each is
# registered disabled, so CTest's output and its summary list it as not run
# and a run without it never looks complete.
function(corvane_add_skipped_tests)
    cmake_parse_arguments(arg "" "REASON" "NAMES;LABELS" ${ARGN})
    list(JOIN arg_NAMES ", " names)
    message(WARNING "Not run: ${names}: ${arg_REASON}")
    foreach(name IN LISTS arg_NAMES)
        add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E true)
        set_tests_properties(${name} PROPERTIES DISABLED TRUE LABELS "${arg_LABELS}")
    endforeach()
endfunction()
