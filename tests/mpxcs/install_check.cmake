# Installs the build into a scratch prefix and uses it as a host would:
# a CMake consumer through find_package(mpxlib CONFIG), the pkg-config file,
# and the installed mpxcs, which must read the installed database.
# Run with -DBUILD_DIR=... -DWORK_DIR=... -DC_FLAGS=... -DLINK_FLAGS=...
# A cross build (Windows) adds -DTOOLCHAIN=... -DMINGW_ARCH=...,
# -DEXE_SUFFIX=.exe and
# -DEMULATOR=... (its list items joined by '|'): the consumer is built with
# the same toolchain and every program runs through the emulator (Wine).
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(consumer_args)
if(TOOLCHAIN)
    # The package is named directly: a cross build looks for packages only
    # under the target's system root.
    set(consumer_args -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DMPX_MINGW_ARCH=${MINGW_ARCH}
        -Dmpxlib_DIR=${prefix}/lib/cmake/mpxlib)
endif()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
        ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
    endif()
    # A Windows program's text-mode output ends its lines with CR LF.
    string(REPLACE "\r\n" "\n" out "${out}")
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

file(WRITE ${WORK_DIR}/consumer/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.25)
project(consumer C)
find_package(mpxlib CONFIG REQUIRED)
add_executable(consumer main.c)
if(NOT EXISTS "${mpxlib_DATA_DIR}datum_sp.dat" OR NOT mpxlib_DEFAULT_DB_DIR MATCHES "/$")
    message(FATAL_ERROR "mpxlib_DATA_DIR ${mpxlib_DATA_DIR} has no database")
endif()
target_link_libraries(consumer PRIVATE mpxlib::mpxlib)
]=])
file(WRITE ${WORK_DIR}/consumer/main.c [=[
#include <mpxlib.h>
#include <stdio.h>
static void print_line(const char *line) { printf("%s\n", line); }
int main(void) {
    mpx_install_error(print_line);
    mpx_combine_error(MPX_CLASS_USER, 3, "consumer linked");
    return 0;
}
]=])
run(${CMAKE_COMMAND} -S ${WORK_DIR}/consumer -B ${WORK_DIR}/consumer/build
    -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_C_FLAGS=${C_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}" ${consumer_args})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer/build)
if(EXISTS ${prefix}/bin/mpxlib.dll)
    # Windows finds a program's DLLs beside it.
    file(COPY ${prefix}/bin/mpxlib.dll DESTINATION ${WORK_DIR}/consumer/build)
endif()
run(${emulator} ${WORK_DIR}/consumer/build/consumer${EXE_SUFFIX})
if(NOT run_output STREQUAL "U3:consumer linked\n")
    message(FATAL_ERROR "consumer printed: ${run_output}")
endif()

find_program(pkg_config pkg-config)
if(pkg_config)
    file(GLOB_RECURSE pc_file ${prefix}/*/mpxlib.pc)
    get_filename_component(pc_dir "${pc_file}" DIRECTORY)
    set(ENV{PKG_CONFIG_PATH} ${pc_dir})
    run(${pkg_config} --cflags --libs mpxlib)
    if(NOT run_output MATCHES "-I[^ ]*include" OR NOT run_output MATCHES "-lmpxlib")
        message(FATAL_ERROR "pkg-config gave: ${run_output}")
    endif()
    run(${pkg_config} --variable=datadir mpxlib)
    string(STRIP "${run_output}" data_dir)
    if(NOT EXISTS "${data_dir}datum_sp.dat")
        message(FATAL_ERROR "pkg-config datadir ${data_dir} holds no database")
    endif()
endif()

# A record only the installed copy holds proves which database is read.
file(APPEND ${prefix}/share/mpxlib/datum_sp.dat "INSTALLED_COPY,6378137,0,1,GREENWICH,test\n")
unset(ENV{TORVA_ORTIX_DIR})
run(${emulator} ${prefix}/bin/mpxcs${EXE_SUFFIX} --list datums)
if(NOT run_output MATCHES "INSTALLED_COPY")
    message(FATAL_ERROR "installed mpxcs did not read the installed database:\n${run_output}")
endif()
run(${emulator} ${prefix}/bin/mpxcs${EXE_SUFFIX} ED50,UTM31N WGS84,GEODETIC
    ${prefix}/share/mpxlib/samples/utm31n_ed50.txt)
if(NOT run_output MATCHES "eiffel_tower")
    message(FATAL_ERROR "installed mpxcs converted:\n${run_output}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
