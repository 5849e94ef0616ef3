# Installs the build into a scratch prefix and imports the installed
# package under the same interpreter: it must load the installed library
# and read the installed database, with no build or source tree involved.
# Run with -DBUILD_DIR=... -DWORK_DIR=... -DPYTHON=... -DPACKAGE_DIR=...
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
set(ENV{PYTHONPATH} ${prefix}/${PACKAGE_DIR})
unset(ENV{TORVA_ORTIX_DIR})
execute_process(COMMAND ${PYTHON} -c [=[
import os, numpy as np, mpxlib
t = mpxlib.Transformer(mpxlib.CoordinateSystem("OSGB36", "GEODETIC", "degrees"),
                       mpxlib.CoordinateSystem("OSGB36", "BNG"))
x, y, z, s = t.transform(np.array([0.5]), np.array([50.5]))
print(os.path.realpath(mpxlib.__file__))
print(os.path.realpath(mpxlib.database_path()))
print("%.3f %.3f %d" % (x[0], y[0], s[0]))
]=] WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REAL_PATH ${prefix} real_prefix)
if(NOT status EQUAL 0 OR NOT out MATCHES "^${real_prefix}/[^\n]*\n${real_prefix}/share/mpxlib\n577274.984 69740.492 0\n$")
    message(FATAL_ERROR "installed package: ${status}\n${out}\n${err}")
endif()
