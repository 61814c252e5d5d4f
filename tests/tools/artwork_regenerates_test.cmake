# Runs make-artwork into an empty folder and checks that it writes exactly the
# committed pictures' files (their contents are compared by
# CommittedArtwork.IsWhatTheGeneratorDraws), and fails as it should.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(expected
    data/icons/hicolor/128x128/apps/quillmark.png
    data/icons/hicolor/16x16/apps/quillmark.png
    data/icons/hicolor/256x256/apps/quillmark.png
    data/icons/hicolor/32x32/apps/quillmark.png
    data/icons/hicolor/48x48/apps/quillmark.png
    data/icons/hicolor/64x64/apps/quillmark.png
    data/icons/hicolor/scalable/apps/quillmark.svg
    src/ui/assets/background.bmp
    src/ui/assets/background@2x.png
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
