# The Quick start's conversion run as the README writes it (from the source
# folder, no --db: the database is found from the build tree), its output
# compared byte for byte with the text pinned in data/samples/. The Linux
# build checks the pinned text; under Wine the same check proves that
# mpxcs.exe prints the very same bytes.
# Run as: cmake -DMPXCS=... -DSOURCE_DIR=... -DWORK_DIR=... [-DEMULATOR=a|b]
#         -P readme_sample.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(MAKE_DIRECTORY ${WORK_DIR})
set(output ${WORK_DIR}/readme_sample_wgs84.txt)
set(expected ${SOURCE_DIR}/data/samples/utm31n_ed50_wgs84.txt)
file(REMOVE ${output})
execute_process(
    COMMAND ${emulator} ${MPXCS} ED50,UTM31N WGS84,GEODETIC data/samples/utm31n_ed50.txt
    WORKING_DIRECTORY ${SOURCE_DIR} OUTPUT_FILE ${output} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "mpxcs exited with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${output} ${expected}
    RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    file(READ ${output} got)
    message(FATAL_ERROR "${output} differs from ${expected}:\n${got}")
endif()
file(SIZE ${output} size)
message(STATUS "the README's sample gives the pinned text, ${size} bytes")
