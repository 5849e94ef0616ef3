# The table runner discovers tests/proj/tables/*.txt when it runs; rebuild
# (and so rediscover its tests) whenever a table is added or changed.
file(GLOB proj_tables CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/proj/tables/*.txt)
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/proj/projection_tables_test.cpp
             APPEND PROPERTY OBJECT_DEPENDS ${proj_tables})
