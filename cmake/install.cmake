# Installation: the shared library and its header, the command-line tools
# (installed by tools/CMakeLists.txt), the bundled database, man pages, a
# CMake package (find_package(mpxlib CONFIG) gives mpxlib::mpxlib) and a
# pkg-config file. Both tell consumers where the database was installed
# (pkg-config --variable=datadir mpxlib; mpxlib_DATA_DIR in CMake) and the
# library's built-in database directory (default_db_dir; mpxlib_DEFAULT_DB_DIR).
include(CMakePackageConfigHelpers)

set(MPX_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/mpxlib)
set(MPX_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/mpxlib)

install(TARGETS mpxlib EXPORT mpxlibTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# Installed programs find the library next to them, wherever the prefix is.
foreach(tool IN ITEMS mpxcs mpxgrid)
    if(TARGET ${tool})
        set_target_properties(${tool} PROPERTIES
            INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${MPX_DATA_INSTALL_DIR}
    FILES_MATCHING PATTERN "*.dat" PATTERN "*.grd" PATTERN "README.md"
    REGEX "samples/[^/]*\\.txt$")
install(FILES ${PROJECT_SOURCE_DIR}/doc/mpxcs.1 ${PROJECT_SOURCE_DIR}/doc/mpxgrid.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(EXPORT mpxlibTargets NAMESPACE mpxlib:: DESTINATION ${MPX_CMAKE_PACKAGE_DIR})
# The library reads its database from MPX_DEFAULT_DB_DIR unless the host
# sets TORVA_ORTIX_DIR; say so when that is not where the database goes.
if(NOT MPX_DEFAULT_DB_DIR STREQUAL "${CMAKE_INSTALL_FULL_DATADIR}/mpxlib/")
    message(STATUS "mpxlib: built-in database directory ${MPX_DEFAULT_DB_DIR}; the bundled "
        "database installs to ${CMAKE_INSTALL_FULL_DATADIR}/mpxlib/ (to use it without "
        "TORVA_ORTIX_DIR, configure with -DMPX_DEFAULT_DB_DIR=${CMAKE_INSTALL_FULL_DATADIR}/mpxlib/)")
endif()

# Paths relative to the installed files, so the install can be moved.
file(RELATIVE_PATH MPX_CONFIG_TO_DATA ${CMAKE_INSTALL_PREFIX}/${MPX_CMAKE_PACKAGE_DIR}
    ${CMAKE_INSTALL_PREFIX}/${MPX_DATA_INSTALL_DIR})
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/mpxlibConfig.cmake @ONLY CONTENT [=[
include("${CMAKE_CURRENT_LIST_DIR}/mpxlibTargets.cmake")
# The installed database directory, and the one the library reads when
# TORVA_ORTIX_DIR is unset.
get_filename_component(mpxlib_DATA_DIR "${CMAKE_CURRENT_LIST_DIR}/@MPX_CONFIG_TO_DATA@" ABSOLUTE)
string(APPEND mpxlib_DATA_DIR "/")
set(mpxlib_DEFAULT_DB_DIR "@MPX_DEFAULT_DB_DIR@")
]=])
write_basic_package_version_file(${PROJECT_BINARY_DIR}/mpxlibConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/mpxlibConfig.cmake
    ${PROJECT_BINARY_DIR}/mpxlibConfigVersion.cmake DESTINATION ${MPX_CMAKE_PACKAGE_DIR})

# pkg-config paths relative to the file, so the install can be moved.
file(RELATIVE_PATH MPX_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/mpxlib.pc @ONLY CONTENT [=[
prefix=${pcfiledir}/@MPX_PC_TO_PREFIX@
libdir=${prefix}/@CMAKE_INSTALL_LIBDIR@
includedir=${prefix}/@CMAKE_INSTALL_INCLUDEDIR@
datadir=${prefix}/@MPX_DATA_INSTALL_DIR@/
default_db_dir=@MPX_DEFAULT_DB_DIR@

Name: mpxlib
Description: Coordinate conversion between geodetic, geocentric and projected systems
Version: @PROJECT_VERSION@
Libs: -L${libdir} -lmpxlib
Cflags: -I${includedir}
]=])
install(FILES ${PROJECT_BINARY_DIR}/mpxlib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
