# Runs make-artwork into an empty folder and checks that it writes exactly the
# committed pictures, byte for byte; if this fails after a drawing change, run
# make-artwork without arguments and commit what it writes.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(expected
    data/icons/hicolor/128x128/apps/quillmark.png
    data/icons/hicolor/16x16/apps/quillmark.png
    data/icons/hicolor/256x256/apps/quillmark.png
    data/icons/hicolor/32x32/apps/quillmark.png
    data/icons/hicolor/48x48/apps/quillmark.png
    data/icons/hicolor/64x64/apps/quillmark.png
    src/ui/assets/background.bmp
    src/ui/assets/quillmark.ico)

execute_process(COMMAND "${GENERATOR}" "${WORK}/out" RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "make-artwork: exit status ${rc}")
endif()
file(GLOB_RECURSE made RELATIVE "${WORK}/out" "${WORK}/out/*")
list(SORT made)
if(NOT made STREQUAL expected)
    message(FATAL_ERROR "make-artwork wrote:\n  ${made}\nexpected:\n  ${expected}")
endif()
foreach(path IN LISTS made)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/out/${path}" "${SOURCE}/${path}"
        RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND changed "${path}")
    endif()
endforeach()
if(changed)
    message(FATAL_ERROR "differ from the committed files: ${changed}")
endif()

# A folder that cannot be made is a failure, not a silent success.
file(WRITE "${WORK}/blocker" "")
execute_process(COMMAND "${GENERATOR}" "${WORK}/blocker/out" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 1)
    message(FATAL_ERROR "unwritable output root: exit status ${rc}, expected 1")
endif()
execute_process(COMMAND "${GENERATOR}" one two RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 2)
    message(FATAL_ERROR "bad usage: exit status ${rc}, expected 2")
endif()
