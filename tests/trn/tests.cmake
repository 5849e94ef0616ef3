# The grid tests write their grid files with the mpxgrid tool's writer.
target_sources(test_trn PRIVATE ${PROJECT_SOURCE_DIR}/tools/mpxgrid/grid_file_writer.cpp)
target_include_directories(test_trn PRIVATE ${PROJECT_SOURCE_DIR}/tools)
