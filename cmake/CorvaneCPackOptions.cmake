# Read by cpack before it packages (CPACK_PROJECT_CONFIG_FILE; generator expressions are evaluated
# when CMake writes it into the build folder).

if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT CPACK_DEBIAN_PACKAGE_MAINTAINER)
        message(FATAL_ERROR "Who makes the packages? Set DEBFULLNAME and DEBEMAIL (or git's user.name and "
            "user.email) and configure again, or give -DCORVANE_PACKAGER=\"Name <address>\".")
    endif()

    # The library packages the browser library needs, found by dpkg-shlibdeps as CPack would,
    # and the program it is loaded into, of the very same build.
    set(library "$<TARGET_FILE:corvane_browserwindow>")
    set(work "${CPACK_PACKAGE_DIRECTORY}/shlibdeps")
    file(REMOVE_RECURSE "${work}")
    # dpkg-shlibdeps runs in a source package's folder: an empty debian/control stands for one.
    file(WRITE "${work}/debian/control" "")
    find_program(CORVANE_DPKG_SHLIBDEPS dpkg-shlibdeps REQUIRED)
    execute_process(COMMAND "${CORVANE_DPKG_SHLIBDEPS}" --ignore-missing-info -O "${library}"
        WORKING_DIRECTORY "${work}"
        OUTPUT_VARIABLE shlibdeps
        RESULT_VARIABLE status
        ERROR_VARIABLE errors
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(REMOVE_RECURSE "${work}")
    if(NOT status EQUAL 0 OR NOT shlibdeps MATCHES "^shlibs:Depends=(.+)$")
        message(FATAL_ERROR "dpkg-shlibdeps found no dependencies of ${library}: ${errors}")
    endif()
    set(CPACK_DEBIAN_BROWSER_PACKAGE_DEPENDS "corvane (= ${CPACK_CORVANE_PACKAGE_VERSION}), ${CMAKE_MATCH_1}")
endif()
