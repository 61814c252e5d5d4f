# Builds the Debian package with CPack and checks its files, its control
# fields against the credits the program shows, its desktop entry, and what
# lintian and appstreamcli say about it.
include("${CMAKE_CURRENT_LIST_DIR}/installed_files.cmake")

# Built twice as when the builder sets no SOURCE_DATE_EPOCH: the same bytes.
unset(ENV{SOURCE_DATE_EPOCH})
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" --config "${BUILD}/CPackConfig.cmake" -G DEB -B "${WORK}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack: exit status ${rc}\n${said}")
endif()
file(GLOB debs "${WORK}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one .deb in ${WORK}, found: ${debs}")
endif()
set(deb "${debs}")
get_filename_component(deb_name "${deb}" NAME)
if(NOT deb_name MATCHES "^quillmark_${VERSION}_[a-z0-9]+\\.deb$")
    message(FATAL_ERROR "package file ${deb_name}")
endif()

execute_process(COMMAND "${CPACK}" --config "${BUILD}/CPackConfig.cmake" -G DEB -B "${WORK}/again"
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${deb}" "${WORK}/again/${deb_name}"
    RESULT_VARIABLE differs)
if(NOT rc EQUAL 0 OR NOT differs EQUAL 0)
    message(FATAL_ERROR "a second package build differs from the first (cpack: exit status ${rc})")
endif()

# Files (directories end in a slash in the listing and are left out).
execute_process(COMMAND "${DPKG_DEB}" --contents "${deb}" OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --contents: exit status ${rc}")
endif()
string(REGEX MATCHALL "\\./usr/[^\n]*[^/\n]\n" found "${listing}")
string(REPLACE "./usr/" "" found "${found}")
string(REPLACE "\n" "" found "${found}")
list(SORT found)
if(NOT found STREQUAL installed_files)
    message(FATAL_ERROR "package files:\n  ${found}\nexpected under usr/:\n  ${installed_files}")
endif()

# Control fields: the maintainer and home page are the credits of the window.
file(READ "${CREDITS}" credits_h)
foreach(name Credit WebAddress EmailAddress)
    string(REGEX MATCH "k${name} = \"([^\"]*)\"" found "${credits_h}")
    set(${name} "${CMAKE_MATCH_1}")
endforeach()
function(expect_field field expected)
    execute_process(COMMAND "${DPKG_DEB}" --field "${deb}" ${field} OUTPUT_VARIABLE value
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT value STREQUAL expected)
        message(FATAL_ERROR "${field}: \"${value}\", expected \"${expected}\"")
    endif()
endfunction()
expect_field(Package quillmark)
expect_field(Version "${VERSION}")
expect_field(Section utils)
expect_field(Maintainer "${Credit} <${EmailAddress}>")
expect_field(Homepage "${WebAddress}")

# Depends: what the program links (found by dpkg-shlibdeps, so libc6 is
# there; libqt6gui6 brings the X11 platform plugin) and the window's font.
execute_process(COMMAND "${DPKG_DEB}" --field "${deb}" Depends OUTPUT_VARIABLE depends)
foreach(package libc6 libqt6gui6 libqt6widgets6 fonts-dejavu-core)
    if(NOT depends MATCHES "(^|, )${package}( |,|\n|$)")
        message(FATAL_ERROR "Depends lacks ${package}: ${depends}")
    endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" --extract "${deb}" "${WORK}/root" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --extract: exit status ${rc}")
endif()
file(READ "${WORK}/root/usr/share/applications/${app_id}.desktop" text)
check_desktop_entry("${text}" /usr)

# What a distribution checks: lintian prints no tag at any level but the
# overridden one, and the AppStream description validates (without looking
# anything up online).
function(expect_quiet what tool) # nothing without the tool
    if(NOT tool)
        return()
    endif()
    execute_process(COMMAND "${tool}" ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT rc EQUAL 0 OR said MATCHES "(^|\n)[EWIPX]: ")
        message(FATAL_ERROR "${what}: exit status ${rc}\n${said}")
    endif()
endfunction()
# Only the release build has the hardening flags, whose absence is an info tag.
set(levels --fail-on error,warning)
if(RELEASE)
    set(levels -I -E --pedantic --fail-on error,warning,info,pedantic)
endif()
expect_quiet(lintian "${LINTIAN}" ${levels} "${deb}")
expect_quiet(appstreamcli "${APPSTREAMCLI}" validate --no-net
    "${WORK}/root/usr/share/metainfo/${app_id}.metainfo.xml")
