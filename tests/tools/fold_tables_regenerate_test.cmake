# Regenerates the Unicode tables of name folding into a scratch folder and
# compares them byte for byte with the committed file. Skipped where the
# Unicode data is missing or of another version than the committed tables.
foreach(name UnicodeData.txt CaseFolding.txt)
    if(NOT EXISTS "${UNICODE_DATA}/${name}")
        message("SKIPPED: no ${UNICODE_DATA}/${name} (Debian package unicode-data)")
        return()
    endif()
endforeach()
file(STRINGS "${UNICODE_DATA}/CaseFolding.txt" data_version LIMIT_COUNT 1 REGEX "^# CaseFolding-")
string(REGEX REPLACE "^# CaseFolding-(.*)\\.txt.*$" "\\1" data_version "${data_version}")
file(STRINGS "${TABLES}" tables_version LIMIT_COUNT 1 REGEX "^// Unicode ")
string(REGEX REPLACE "^// Unicode ([^ ]*) .*$" "\\1" tables_version "${tables_version}")
if(NOT data_version STREQUAL tables_version)
    message("SKIPPED: the tables are of Unicode ${tables_version}, "
        "${UNICODE_DATA} holds Unicode ${data_version}")
    return()
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(
    COMMAND "${GENERATOR}" "${UNICODE_DATA}/UnicodeData.txt" "${UNICODE_DATA}/CaseFolding.txt"
        "${WORK}/unicode_fold_tables.cpp"
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "make-fold-tables: exit status ${rc}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/unicode_fold_tables.cpp" "${TABLES}"
    RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
    message(FATAL_ERROR "src/fsys/unicode_fold_tables.cpp differs from what make-fold-tables makes "
        "of the Unicode data; run: cmake --build --preset release --target unicode-fold-tables")
endif()
