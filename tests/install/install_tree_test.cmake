# Installs the build into a scratch prefix, as `cmake --install` does for a
# user, and checks what lands there; then installs once more through DESTDIR
# staging, as a package build does, and checks the entry names the real
# prefix, not the staging folder.
include("${CMAKE_CURRENT_LIST_DIR}/installed_files.cmake")

file(REMOVE_RECURSE "${WORK}")
# A space in the prefix: the desktop entry must still start the program.
set(prefix "${WORK}/user prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install: exit status ${rc}")
endif()

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
list(SORT found)
if(NOT found STREQUAL installed_files)
    message(FATAL_ERROR "installed files:\n  ${found}\nexpected:\n  ${installed_files}")
endif()

function(expect_same installed original)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${prefix}/${installed}" "${original}"
        RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${installed} is not ${original}")
    endif()
endfunction()
expect_same(bin/quillmark "${PROGRAM}")
expect_same(bin/quillmark-cli "${CLI}")
expect_same(share/quillmark/roms.ini "${SOURCE}/data/roms.ini")
foreach(icon IN LISTS icons)
    string(REGEX REPLACE "^share/" "" committed "${icon}")
    expect_same("${icon}" "${SOURCE}/data/${committed}")
endforeach()
foreach(program quillmark quillmark-cli)
    execute_process(COMMAND test -x "${prefix}/bin/${program}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "bin/${program} is not executable")
    endif()
endforeach()

set(entry "${prefix}/share/applications/${app_id}.desktop")
file(READ "${entry}" text)
check_desktop_entry("${text}" "${prefix}")
if(VALIDATE)
    execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT rc EQUAL 0 OR NOT said STREQUAL "")
        message(FATAL_ERROR "desktop-file-validate: ${said}")
    endif()
endif()

file(READ "${prefix}/share/doc/quillmark/copyright" credits)
foreach(needed "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
        "License: GPL-2.0-or-later" "GNU General Public License version 2" "n64-cartridges.md")
    string(FIND "${credits}" "${needed}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "copyright does not mention ${needed}")
    endif()
endforeach()

set(ENV{DESTDIR} "${WORK}/stage")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix /opt/quillmark
    RESULT_VARIABLE rc OUTPUT_QUIET)
unset(ENV{DESTDIR})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install with DESTDIR: exit status ${rc}")
endif()
file(READ "${WORK}/stage/opt/quillmark/share/applications/${app_id}.desktop" staged)
check_desktop_entry("${staged}" /opt/quillmark)
