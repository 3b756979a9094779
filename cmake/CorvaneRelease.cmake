# The release this tree builds. Its version is project(VERSION) alone; NEWS says, newest first,
# when each release came out and what it brought:
#
#   Corvane 1.0.1 (2026-12-09)
#
#     * What changed for the user, wrapped at 76 columns and
#       continued on lines indented by four spaces.
#
# From these come the manual page's version and date, the AppStream metainfo's releases and the
# packages' Debian changelog. A version that NEWS does not begin with stops the configuration:
# the package would otherwise carry one version and the notes of another.
#
# Sets CORVANE_APP_ID, CORVANE_RELEASE_DATE, CORVANE_MAN_DATE, CORVANE_METAINFO_RELEASES,
# CORVANE_DEBIAN_REVISION, CORVANE_PACKAGE_VERSION, CORVANE_PACKAGER, and writes
# ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.

# The AppStream id: the desktop entry and the metainfo are named after it, and the program gives
# it to the desktop so that its windows are matched with the menu entry.
set(CORVANE_APP_ID io.github.corvane.Corvane)

# Packages are built from this source as it stands: always the first Debian revision.
set(CORVANE_DEBIAN_REVISION 1)
set(CORVANE_PACKAGE_VERSION ${PROJECT_VERSION}-${CORVANE_DEBIAN_REVISION})

set(corvane_news_file ${PROJECT_SOURCE_DIR}/NEWS)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${corvane_news_file})
file(READ ${corvane_news_file} corvane_news)
# CMake keeps a list in one text, its items apart by semicolons: the text's own semicolons stand
# in for themselves, as a control character, until the notes are written out.
string(ASCII 31 corvane_semicolon)
string(REPLACE ";" "${corvane_semicolon}" corvane_news "${corvane_news}")
string(REPLACE "\n" ";" corvane_news "${corvane_news}")

set(corvane_releases)
set(version)
foreach(line IN LISTS corvane_news)
    if(line MATCHES "^Corvane ([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
        set(version ${CMAKE_MATCH_1})
        list(APPEND corvane_releases ${version})
        set(corvane_${version}_date ${CMAKE_MATCH_2})
        set(corvane_${version}_items)
        set(corvane_${version}_lines)
    elseif(version AND line MATCHES "^  \\* (.+)$")
        list(APPEND corvane_${version}_items "${CMAKE_MATCH_1}")
        list(APPEND corvane_${version}_lines "${line}")
    elseif(corvane_${version}_items AND line MATCHES "^    ([^ ].*)$")
        list(POP_BACK corvane_${version}_items item)
        list(APPEND corvane_${version}_items "${item} ${CMAKE_MATCH_1}")
        list(APPEND corvane_${version}_lines "${line}")
    elseif(NOT line STREQUAL "")
        message(FATAL_ERROR "NEWS: \"${line}\" is neither a release's heading (Corvane 1.2.3 (2026-12-31)), "
            "nor a note (\"  * \") or its continuation (four spaces).")
    endif()
endforeach()

list(GET corvane_releases 0 corvane_newest)
if(NOT corvane_newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "NEWS begins with Corvane ${corvane_newest}, but project() says ${PROJECT_VERSION}: "
        "add what ${PROJECT_VERSION} brings at the top of NEWS.")
endif()
set(CORVANE_RELEASE_DATE ${corvane_${PROJECT_VERSION}_date})

# corvane_date_parts(DATE PREFIX): PREFIX_year, _month (1-12), _day and _weekday (0 Sunday).
function(corvane_date_parts date prefix)
    string(REGEX MATCH "^([0-9]+)-0?([0-9]+)-0?([0-9]+)$" parts "${date}")
    set(y ${CMAKE_MATCH_1})
    set(m ${CMAKE_MATCH_2})
    set(d ${CMAKE_MATCH_3})
    # Sakamoto's method: January and February count as months of the year before.
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    math(EXPR i "${m} - 1")
    list(GET offsets ${i} offset)
    set(yy ${y})
    if(m LESS 3)
        math(EXPR yy "${y} - 1")
    endif()
    math(EXPR weekday "(${yy} + ${yy} / 4 - ${yy} / 100 + ${yy} / 400 + ${offset} + ${d}) % 7")
    set(${prefix}_year ${y} PARENT_SCOPE)
    set(${prefix}_month ${m} PARENT_SCOPE)
    set(${prefix}_day ${d} PARENT_SCOPE)
    set(${prefix}_weekday ${weekday} PARENT_SCOPE)
endfunction()

set(corvane_month_names January February March April May June July August September October November
    December)
corvane_date_parts(${CORVANE_RELEASE_DATE} released)
math(EXPR i "${released_month} - 1")
list(GET corvane_month_names ${i} month)
set(CORVANE_MAN_DATE "${month} ${released_year}")

# The metainfo's releases, newest first, each with its notes.
set(CORVANE_METAINFO_RELEASES)
foreach(version IN LISTS corvane_releases)
    string(APPEND CORVANE_METAINFO_RELEASES
        "    <release version=\"${version}\" date=\"${corvane_${version}_date}\">\n"
        "      <description>\n        <ul>\n")
    foreach(item IN LISTS corvane_${version}_items)
        string(REPLACE "&" "&amp;" item "${item}")
        string(REPLACE "<" "&lt;" item "${item}")
        string(REPLACE ">" "&gt;" item "${item}")
        string(APPEND CORVANE_METAINFO_RELEASES "          <li>${item}</li>\n")
    endforeach()
    string(APPEND CORVANE_METAINFO_RELEASES "        </ul>\n      </description>\n    </release>\n")
endforeach()
string(STRIP "${CORVANE_METAINFO_RELEASES}" CORVANE_METAINFO_RELEASES)
string(REPLACE "${corvane_semicolon}" ";" CORVANE_METAINFO_RELEASES "${CORVANE_METAINFO_RELEASES}")

# Who makes the package: its Maintainer field and the signature of its changelog entries. The
# Debian tools' own settings name the packager (DEBFULLNAME and DEBEMAIL, or EMAIL), else git's
# user.name and user.email of this checkout, else the login at this machine. Empty when none is
# found; packaging then stops.
if(NOT DEFINED CORVANE_PACKAGER)
    set(address "$ENV{DEBEMAIL}")
    if(NOT address)
        set(address "$ENV{EMAIL}")
    endif()
    set(name "$ENV{DEBFULLNAME}")
    if(address MATCHES "^(.*[^ ]) *<(.+)>$")
        # DEBEMAIL may hold "Name <address>" itself.
        if(NOT name)
            set(name "${CMAKE_MATCH_1}")
        endif()
        set(address "${CMAKE_MATCH_2}")
    endif()
    find_package(Git QUIET)
    foreach(key IN ITEMS name address)
        if(NOT ${key} AND GIT_FOUND)
            set(git_key user.email)
            if(key STREQUAL "name")
                set(git_key user.name)
            endif()
            execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} config ${git_key}
                OUTPUT_VARIABLE ${key} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
    endforeach()
    # Last, as Debian's own dch does: the login's name from the password database, and the login
    # at this machine's mail name (a fresh machine or a build root has neither setting nor git identity).
    if(NOT name OR NOT address)
        execute_process(COMMAND id -un OUTPUT_VARIABLE login OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(login AND NOT name)
        execute_process(COMMAND getent passwd ${login}
            OUTPUT_VARIABLE entry OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        string(REGEX REPLACE "^[^:]*:[^:]*:[^:]*:[^:]*:([^:,]*).*$" "\\1" name "${entry}")
        if(NOT name OR name STREQUAL entry)
            set(name "${login}")
        endif()
    endif()
    if(login AND NOT address)
        set(mailname)
        if(EXISTS /etc/mailname)
            file(STRINGS /etc/mailname mailname LIMIT_COUNT 1)
        endif()
        if(NOT mailname)
            cmake_host_system_information(RESULT mailname QUERY HOSTNAME)
        endif()
        if(mailname)
            set(address "${login}@${mailname}")
        endif()
    endif()
    set(packager)
    if(name AND address)
        set(packager "${name} <${address}>")
        if(login)
            # A login is no address a user can write to: fine for one's own packages, not for a release.
            message(STATUS "No packager is set: the packages name ${packager}, which lintian refuses "
                "for a release. Set DEBFULLNAME and DEBEMAIL (or git's user.name and user.email).")
        endif()
    endif()
    set(CORVANE_PACKAGER "${packager}" CACHE STRING
        "The packages' maintainer, as \"Name <address>\" (from DEBFULLNAME and DEBEMAIL, or git)")
endif()

# The Debian changelog: one entry a release, signed by the packager on the day of the release.
set(corvane_weekdays Sun Mon Tue Wed Thu Fri Sat)
set(corvane_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(changelog)
foreach(version IN LISTS corvane_releases)
    corvane_date_parts(${corvane_${version}_date} day)
    list(GET corvane_weekdays ${day_weekday} weekday)
    math(EXPR i "${day_month} - 1")
    list(GET corvane_months ${i} month)
    if(day_day LESS 10)
        set(day_day 0${day_day})
    endif()
    # Until 1.0.1 the package's version was the release's alone.
    set(package_version ${version}-${CORVANE_DEBIAN_REVISION})
    if(version VERSION_LESS 1.0.1)
        set(package_version ${version})
    endif()
    string(APPEND changelog "corvane (${package_version}) unstable; urgency=medium\n\n")
    foreach(line IN LISTS corvane_${version}_lines)
        string(APPEND changelog "${line}\n")
    endforeach()
    string(APPEND changelog "\n -- ${CORVANE_PACKAGER}  ${weekday}, ${day_day} ${month} ${day_year} 12:00:00 +0000\n\n")
endforeach()
string(STRIP "${changelog}" changelog)
string(REPLACE "${corvane_semicolon}" ";" changelog "${changelog}")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.new "${changelog}\n")
# Copied only when it changed, so that an unchanged changelog is not compressed again.
configure_file(${CMAKE_BINARY_DIR}/packaging/changelog.Debian.new ${CMAKE_BINARY_DIR}/packaging/changelog.Debian
    COPYONLY)
