# Every file an installation holds, relative to its prefix: the program, its
# name list, the desktop entry, the committed icons and the credits, and
# nothing else.
file(GLOB_RECURSE icons RELATIVE "${SOURCE}/data" "${SOURCE}/data/icons/hicolor/*")
if(NOT icons)
    message(FATAL_ERROR "no committed icons under ${SOURCE}/data/icons/hicolor")
endif()
list(TRANSFORM icons PREPEND share/)
set(installed_files
    bin/quillmark
    share/applications/quillmark.desktop
    share/doc/quillmark/copyright
    ${icons}
    share/quillmark/roms.ini
)
list(SORT installed_files)

# The value of `key` in the [Desktop Entry] group of the entry text.
function(desktop_value out text key)
    string(REGEX MATCH "\n${key}=([^\n]*)" found "\n${text}")
    if(NOT found)
        message(FATAL_ERROR "desktop entry has no ${key}=")
    endif()
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# Fails unless the entry starts the program at `prefix` in the folder that
# holds the name list, the way a menu would.
function(check_desktop_entry text prefix)
    desktop_value(path "${text}" Path)
    if(NOT path STREQUAL "${prefix}/share/quillmark")
        message(FATAL_ERROR "Path=${path}, expected ${prefix}/share/quillmark")
    endif()
    desktop_value(exec "${text}" Exec)
    if(NOT exec STREQUAL "\"${prefix}/bin/quillmark\"")
        message(FATAL_ERROR "Exec=${exec}, expected \"${prefix}/bin/quillmark\"")
    endif()
    foreach(pair "Type=Application" "Icon=quillmark" "Terminal=false")
        string(FIND "\n${text}" "\n${pair}\n" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "desktop entry lacks ${pair}")
        endif()
    endforeach()
endfunction()
