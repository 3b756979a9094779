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
