# The NTv2 reader and converter are tested directly, on NTv2 files the
# tests write themselves, in both byte orders.
target_sources(test_mpxgrid PRIVATE
    ${PROJECT_SOURCE_DIR}/tools/mpxgrid/ntv2_reader.cpp
    ${PROJECT_SOURCE_DIR}/tools/mpxgrid/ntv2_grid.cpp
    ${PROJECT_SOURCE_DIR}/tools/mpxgrid/from_ntv2.cpp
    ${PROJECT_SOURCE_DIR}/tools/mpxgrid/grid_file_writer.cpp)
target_include_directories(test_mpxgrid PRIVATE ${PROJECT_SOURCE_DIR}/tools)
