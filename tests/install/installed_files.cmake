# Every file an installation holds, relative to its prefix: the program, its
# name list, the desktop entry, the committed icons, the manual pages, the
# command line's completion, the AppStream description, the README and the
# Debian documents, and nothing else.
file(GLOB_RECURSE icons RELATIVE "${SOURCE}/data" "${SOURCE}/data/icons/hicolor/*")
if(NOT icons)
    message(FATAL_ERROR "no committed icons under ${SOURCE}/data/icons/hicolor")
endif()
list(TRANSFORM icons PREPEND share/)
set(app_id org.example.quillmark)
set(installed_files
    bin/quillmark
    bin/quillmark-cli
    share/applications/${app_id}.desktop
    share/doc/quillmark/changelog.gz
    share/doc/quillmark/copyright
    share/doc/quillmark/README.md
    ${icons}
    share/lintian/overrides/quillmark
    share/bash-completion/completions/quillmark-cli
    share/man/man1/quillmark-cli.1.gz
    share/man/man1/quillmark.1.gz
    share/metainfo/${app_id}.metainfo.xml
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

# Fails unless the entry starts the program at `prefix` in the last folder
# used, the way a menu would, or on the file a file manager opens with it.
function(check_desktop_entry text prefix)
    string(FIND "\n${text}" "\nPath=" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "desktop entry has a Path=: the program finds its name list itself")
    endif()
    desktop_value(exec "${text}" Exec)
    if(NOT exec STREQUAL "\"${prefix}/bin/quillmark\" --last-folder %f")
        message(FATAL_ERROR "Exec=${exec}, expected \"${prefix}/bin/quillmark\" --last-folder %f")
    endif()
    foreach(pair "Type=Application" "Icon=quillmark" "Terminal=false"
            "MimeType=application/x-n64-rom;application/zip;application/x-7z-compressed;")
        string(FIND "\n${text}" "\n${pair}\n" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "desktop entry lacks ${pair}")
        endif()
    endforeach()
endfunction()
