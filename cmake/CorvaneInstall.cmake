# How an install (cmake --install, or cpack for the packages) is divided and stripped.

# Each install belongs to a component, and the packages are made of components (CorvanePackage.cmake):
# runtime and desktop make the package corvane, browser the package corvane-browser. An install
# that names none belongs to the program's.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME runtime)

# corvane_install_strip_notes(FILE COMPONENT): when the install strips (cpack does), a program or
# library of ours also loses the compiler's notes (.comment, .note), as in Debian's own packages.
function(corvane_install_strip_notes file component)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\" COMMAND_ERROR_IS_FATAL ANY)
        endif()" COMPONENT ${component})
endfunction()
