cmake_policy(SET CMP0057 NEW)
# Runs quillmark-probe rename on copies of real headers, once for success and
# once for each failure rule it can meet, and checks both its lines and the
# files left on disk.
set(headers "${DATA}/real-headers")

# A fresh folder holding the name list and the given header copies.
function(fresh_folder)
    file(REMOVE_RECURSE "${WORK}")
    file(MAKE_DIRECTORY "${WORK}/roms")
    file(COPY "${DATA}/probe/roms.ini" DESTINATION "${WORK}")
    foreach(header IN LISTS ARGN)
        file(COPY "${headers}/${header}" DESTINATION "${WORK}/roms")
    endforeach()
endfunction()

# Runs the probe in WORK and checks that each "name=value" of ARGN is a line
# of its output.
function(expect_lines name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ARGS;LINES")
    execute_process(COMMAND "${PROBE}" rename ${arg_ARGS}
        WORKING_DIRECTORY "${WORK}"
        OUTPUT_VARIABLE out RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${name}: exit status ${rc}")
    endif()
    string(REPLACE "\n" ";" lines "${out}")
    foreach(expected IN LISTS arg_LINES)
        if(NOT expected IN_LIST lines)
            message(FATAL_ERROR "${name}: no line '${expected}' in\n${out}")
        endif()
    endforeach()
    if(NOT out MATCHES "\nrenameResult=[a-z]+\nfailureCode=[0-9]+\n$")
        message(FATAL_ERROR "${name}: the output does not end in renameResult and failureCode:\n${out}")
    endif()
endfunction()

function(expect_file path)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "missing file ${path}")
    endif()
endfunction()

function(expect_no_file path)
    if(EXISTS "${path}")
        message(FATAL_ERROR "unexpected file ${path}")
    endif()
endfunction()

# Success: renamed in place, bytes unchanged.
fresh_folder(rx-mm64.v64.hdr64)
expect_lines(success ARGS "${WORK}/roms" rx-mm64.v64.hdr64
    LINES "newFileName=Manic Miner 64 (USA).v64" "renameOffered=true"
          "renameResult=renamed" "failureCode=0")
expect_no_file("${WORK}/roms/rx-mm64.v64.hdr64")
file(SHA256 "${WORK}/roms/Manic Miner 64 (USA).v64" renamed_hash)
file(SHA256 "${headers}/rx-mm64.v64.hdr64" original_hash)
if(NOT renamed_hash STREQUAL original_hash)
    message(FATAL_ERROR "success: the renamed file's bytes changed")
endif()

# The UltraHLE style, from a folder given with its trailing separator.
fresh_folder(CoverageTest.N64.hdr64)
expect_lines(ultrahle ARGS --ultrahle "${WORK}/roms/" CoverageTest.N64.hdr64
    LINES "renameResult=renamed" "failureCode=0")
expect_file("${WORK}/roms/Coverage_Test_by_krom_(USA).v64")

# A file of the proposed name exists: 58, neither file touched.
fresh_folder(rx-mm64.v64.hdr64)
file(WRITE "${WORK}/roms/Manic Miner 64 (USA).v64" "already here")
expect_lines(existing_target ARGS "${WORK}/roms" rx-mm64.v64.hdr64
    LINES "renameResult=failed" "failureCode=58")
expect_file("${WORK}/roms/rx-mm64.v64.hdr64")
file(READ "${WORK}/roms/Manic Miner 64 (USA).v64" kept)
if(NOT kept STREQUAL "already here")
    message(FATAL_ERROR "existing_target: the existing file was replaced")
endif()

# A title that is no file name: 52, nothing moves.
fresh_folder(rx-mm64.v64.hdr64)
file(MAKE_DIRECTORY "${WORK}/roms/Manic")
file(WRITE "${WORK}/roms.ini" "\"Manic Miner 64      \",\"Manic/Miner\"\r\n")
expect_lines(refused_name ARGS "${WORK}/roms" rx-mm64.v64.hdr64
    LINES "newFileName=Manic/Miner (USA).v64" "renameResult=failed" "failureCode=52")
expect_file("${WORK}/roms/rx-mm64.v64.hdr64")
file(GLOB moved "${WORK}/roms/Manic/*")
if(moved)
    message(FATAL_ERROR "refused_name: a file went into a subfolder: ${moved}")
endif()

# No rename offered: an unknown ROM, a file that is no ROM, a missing file and
# a missing name list.
fresh_folder(SetScreenNTSC.N64.hdr64 rx-mm64.v64.hdr64)
file(WRITE "${WORK}/roms/notes.txt" "Not a cartridge, only text.\n")
expect_lines(unknown ARGS "${WORK}/roms" SetScreenNTSC.N64.hdr64
    LINES "romUnknown=true" "renameResult=nothing" "failureCode=0")
expect_lines(not_rom ARGS "${WORK}/roms" notes.txt
    LINES "verdict=NotRom" "renameResult=nothing" "failureCode=0")
expect_lines(missing_file ARGS "${WORK}/roms" missing.v64
    LINES "renameResult=nothing" "failureCode=53")
file(REMOVE "${WORK}/roms.ini")
expect_lines(missing_list ARGS "${WORK}/roms" rx-mm64.v64.hdr64
    LINES "verdict=V64" "renameOffered=false" "renameResult=nothing" "failureCode=53")
file(GLOB left RELATIVE "${WORK}/roms" "${WORK}/roms/*")
list(SORT left)
if(NOT left STREQUAL "SetScreenNTSC.N64.hdr64;notes.txt;rx-mm64.v64.hdr64")
    message(FATAL_ERROR "no-rename cases changed the folder: ${left}")
endif()

execute_process(COMMAND "${PROBE}" rename only-one-argument
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 2)
    message(FATAL_ERROR "bad usage: exit status ${rc}, expected 2")
endif()
