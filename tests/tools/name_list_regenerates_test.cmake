# Regenerates the name list and its summary into a scratch folder and compares
# them byte for byte with the committed files.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(
    COMMAND "${GENERATOR}" "${DATA}/n64-cartridges.tsv" "${WORK}/roms.ini" "${WORK}/roms-summary.md"
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "make-roms-ini: exit status ${rc}")
endif()
foreach(name roms.ini roms-summary.md)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}" "${DATA}/${name}"
        RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "data/${name} differs from what make-roms-ini makes of the facts; "
            "run: cmake --build --preset release --target roms-ini")
    endif()
endforeach()
