# The geodesy tests make their grid files with mpxgrid's own writer.
target_sources(test_geodesy PRIVATE ${PROJECT_SOURCE_DIR}/tools/mpxgrid/grid_file_writer.cpp)
target_include_directories(test_geodesy PRIVATE ${PROJECT_SOURCE_DIR}/tools)

# mpxgrid end to end: build a grid from a description, read it back, and
# refuse a malformed description with a message that points at the fault.
# Under MPX_VALGRIND the tool runs under memcheck; elsewhere it is named as
# a target so that a cross build runs it under its emulator.
if(MPX_VALGRIND)
    set(mpxgrid ${mpx_memcheck} $<TARGET_FILE:mpxgrid>)
else()
    set(mpxgrid mpxgrid)
endif()
set(mpxgrid_data ${CMAKE_CURRENT_LIST_DIR}/data)
set(mpxgrid_out ${CMAKE_CURRENT_BINARY_DIR}/mpxgrid_two_cells.grd)
add_test(NAME MpxgridBuildsGridFromDescription
         COMMAND ${mpxgrid} build ${mpxgrid_data}/two_cells.txt ${mpxgrid_out})
set_tests_properties(MpxgridBuildsGridFromDescription PROPERTIES FIXTURES_SETUP mpxgrid_two_cells)
add_test(NAME MpxgridInfoShowsHeaderCoverageAndCells COMMAND ${mpxgrid} info ${mpxgrid_out})
set_tests_properties(MpxgridInfoShowsHeaderCoverageAndCells PROPERTIES
    FIXTURES_REQUIRED mpxgrid_two_cells
    PASS_REGULAR_EXPRESSION
    "kind      0 \\(quadratic, 18 coefficients per cell\\).*num_cols  2.*coverage  lon -1 to 0 deg, lat 50 to 50.5 deg.*south-west\\): 9.9999999999999995e-07 1 0 0 0 0 0 0 1 0 0 0 10 .*north-east\\): 1.9999999999999999e-06 1 0 0 0 0 0 0 1 0 0 0 20 ")
add_test(NAME MpxgridRejectsDescriptionWithMissingCoefficient
         COMMAND ${mpxgrid} build ${mpxgrid_data}/one_coefficient_short.txt
                 ${CMAKE_CURRENT_BINARY_DIR}/mpxgrid_never.grd)
set_tests_properties(MpxgridRejectsDescriptionWithMissingCoefficient PROPERTIES
    PASS_REGULAR_EXPRESSION "one_coefficient_short.txt:6: expected 8 coefficients, found 7")
add_test(NAME MpxgridInfoRefusesFileThatIsNoGrid
         COMMAND ${mpxgrid} info ${mpxgrid_data}/one_coefficient_short.txt)
set_tests_properties(MpxgridInfoRefusesFileThatIsNoGrid PROPERTIES
    PASS_REGULAR_EXPRESSION "not a usable grid")
if(MPX_VALGRIND)
    set_tests_properties(MpxgridBuildsGridFromDescription MpxgridInfoShowsHeaderCoverageAndCells
        MpxgridRejectsDescriptionWithMissingCoefficient MpxgridInfoRefusesFileThatIsNoGrid
        PROPERTIES LABELS valgrind
        # The refusals pass on their message whatever the exit status, so a
        # memcheck report must fail them by its own text.
        FAIL_REGULAR_EXPRESSION "==[0-9]+== ")
endif()
