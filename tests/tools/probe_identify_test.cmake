# Runs quillmark-probe identify on real headers and compares its lines with
# the expected output kept beside the data.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${DATA}/probe/roms.ini" DESTINATION "${WORK}")

function(expect_output name expected_file)
    execute_process(COMMAND "${PROBE}" ${ARGN}
        WORKING_DIRECTORY "${WORK}"
        OUTPUT_VARIABLE out RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${name}: exit status ${rc}")
    endif()
    file(READ "${DATA}/probe/${expected_file}" expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "${name}: output differs\n--- got\n${out}--- expected\n${expected}")
    endif()
endfunction()

set(headers "${DATA}/real-headers")
expect_output(v64_known identify_v64_known.txt identify "${headers}" rx-mm64.v64.hdr64)
expect_output(z64_ultrahle identify_z64_ultrahle.txt identify --ultrahle "${headers}/" CoverageTest.N64.hdr64)
expect_output(nul_padded identify_nul_padded.txt identify "${headers}" flames.z64.hdr64)
expect_output(n64_known identify_n64_known.txt identify "${headers}" rx-mm64.n64.hdr64)
file(WRITE "${WORK}/notes.txt" "Not a cartridge, only text.\n")
expect_output(not_rom identify_not_rom.txt identify "${WORK}" notes.txt)
expect_output(missing identify_missing.txt identify "${headers}" missing.v64)

execute_process(COMMAND "${PROBE}" identify only-one-argument
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 2)
    message(FATAL_ERROR "bad usage: exit status ${rc}, expected 2")
endif()
