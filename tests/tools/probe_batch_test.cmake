# Runs quillmark-probe batch over folders of real headers and compares its
# lines, and the folder's names afterwards, with what they must be.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${DATA}/probe/roms.ini" DESTINATION "${WORK}")
set(headers "${DATA}/real-headers")

# A folder of six real headers, one of them already under its proposed name,
# and a text file.
function(make_rom_folder folder)
    file(MAKE_DIRECTORY "${folder}")
    foreach(name CoverageTest.N64.hdr64 SetScreenNTSC.N64.hdr64
            VIScrollingBGDMA16BPP320X240.N64.hdr64 flames.z64.hdr64
            m64p_test_rom.v64.hdr64)
        file(COPY_FILE "${headers}/${name}" "${folder}/${name}")
    endforeach()
    file(WRITE "${folder}/notes.txt" "Not a cartridge, only text.\n")
    file(COPY_FILE "${headers}/rx-mm64.v64.hdr64" "${folder}/Manic Miner 64 (USA).v64")
endfunction()

function(run_probe out_var)
    execute_process(COMMAND "${PROBE}" ${ARGN}
        WORKING_DIRECTORY "${WORK}"
        OUTPUT_VARIABLE out RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN}: exit status ${rc}")
    endif()
    set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(expect_text name got expected)
    if(NOT got STREQUAL expected)
        message(FATAL_ERROR "${name}: differs\n--- got\n${got}\n--- expected\n${expected}")
    endif()
endfunction()

function(expect_output name expected_file)
    run_probe(out ${ARGN})
    file(READ "${DATA}/probe/${expected_file}" expected)
    expect_text(${name} "${out}" "${expected}")
endfunction()

function(expect_names name folder)
    file(GLOB names RELATIVE "${folder}" "${folder}/*")
    list(SORT names)
    set(expected ${ARGN})
    list(SORT expected)
    expect_text(${name} "${names}" "${expected}")
endfunction()

set(unknown flames.z64.hdr64 m64p_test_rom.v64.hdr64 SetScreenNTSC.N64.hdr64
    VIScrollingBGDMA16BPP320X240.N64.hdr64 notes.txt)

make_rom_folder("${WORK}/normal")
expect_output(normal batch_normal.txt batch normal)
expect_names(normal_names "${WORK}/normal" ${unknown}
    "Coverage Test by krom (USA).v64" "Manic Miner 64 (USA).v64")

make_rom_folder("${WORK}/ultrahle")
expect_output(ultrahle batch_ultrahle.txt batch --ultrahle "${WORK}/ultrahle/")
expect_names(ultrahle_names "${WORK}/ultrahle" ${unknown}
    "Coverage_Test_by_krom_(USA).v64" "Manic_Miner_64_(USA).v64")

file(MAKE_DIRECTORY "${WORK}/copies")
file(COPY_FILE "${headers}/CoverageTest.N64.hdr64" "${WORK}/copies/a-copy.z64")
file(COPY_FILE "${headers}/CoverageTest.N64.hdr64" "${WORK}/copies/b-copy.z64")
file(COPY_FILE "${headers}/rx-mm64.v64.hdr64" "${WORK}/copies/c-later.v64")
expect_output(two_copies batch_two_copies.txt batch copies)
expect_names(two_copies_names "${WORK}/copies"
    "Coverage Test by krom (USA).v64" b-copy.z64 c-later.v64)

file(MAKE_DIRECTORY "${WORK}/empty")
run_probe(out batch empty)
expect_text(empty "${out}" "outcome=NoFiles\ntotalFiles=0\nromCount=0\nrenamedCount=0\nunknownCount=0\nnoNameCount=0\nalreadyRightCount=0\nfailureCode=0\nprogress=0\n")

# A folder that cannot be listed: the run never starts.
run_probe(out batch missing-folder)
expect_text(missing "${out}" "outcome=\ntotalFiles=0\nromCount=0\nrenamedCount=0\nunknownCount=0\nnoNameCount=0\nalreadyRightCount=0\nfailureCode=53\n")

foreach(args "batch" "batch;one;two")
    execute_process(COMMAND "${PROBE}" ${args}
        WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 2)
        message(FATAL_ERROR "bad usage '${args}': exit status ${rc}, expected 2")
    endif()
endforeach()
