# The converter's own parsing units are tested directly; the rest of the
# tests run the built program on the bundled database.
set(mpxcs_dir ${PROJECT_SOURCE_DIR}/tools/mpxcs)
target_sources(test_mpxcs PRIVATE
    ${mpxcs_dir}/line_scan.cpp ${mpxcs_dir}/line_reader.cpp ${mpxcs_dir}/number_format.cpp
    ${mpxcs_dir}/platform.cpp)
target_include_directories(test_mpxcs PRIVATE ${mpxcs_dir})
target_compile_options(test_mpxcs PRIVATE ${MPX_WARNINGS})
add_dependencies(test_mpxcs mpxcs)

string(REPLACE ";" "|" mpx_emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
add_test(NAME MpxcsInstallServesConsumersAndFindsItsDatabase
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
        -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/install_check
        "-DC_FLAGS=${CMAKE_C_FLAGS}" "-DLINK_FLAGS=${CMAKE_EXE_LINKER_FLAGS}"
        -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE} -DMINGW_ARCH=${MPX_MINGW_ARCH}
        -DEXE_SUFFIX=${CMAKE_EXECUTABLE_SUFFIX} "-DEMULATOR=${mpx_emulator}"
        -P ${CMAKE_CURRENT_LIST_DIR}/install_check.cmake)
# Under MPX_VALGRIND the sample's conversion runs under memcheck.
if(MPX_VALGRIND)
    string(REPLACE ";" "|" mpx_sample_runner "${mpx_memcheck}")
else()
    set(mpx_sample_runner "${mpx_emulator}")
endif()
add_test(NAME MpxcsReadmeSampleGivesThePinnedBytes
    COMMAND ${CMAKE_COMMAND} -DMPXCS=$<TARGET_FILE:mpxcs> -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
        -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/readme_sample "-DEMULATOR=${mpx_sample_runner}"
        -P ${CMAKE_CURRENT_LIST_DIR}/readme_sample.cmake)
if(MPX_VALGRIND)
    set_tests_properties(MpxcsReadmeSampleGivesThePinnedBytes PROPERTIES LABELS valgrind)
endif()
