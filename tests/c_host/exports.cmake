# Checks that the shared library exports exactly the functions the public
# header declares: nothing internal leaks, nothing declared is missing.
# Run as: cmake -DLIBRARY=... -DHEADER=... -P exports.cmake
# A Windows DLL is read from its PE export table (OBJDUMP: the target's
# objdump), where names must stand undecorated: no leading '_', no "@n";
# it may import Windows' own DLLs only.
if(LIBRARY MATCHES "\\.dll$")
    set(command ${OBJDUMP} -p ${LIBRARY})
    # The name pointer table: lines "\t[   0] name" after its heading.
    set(heading ".*\\[Ordinal/Name Pointer\\] Table[^\n]*\n")
    set(entry "\t\\[ *[0-9]+\\] ")
else()
    set(command nm -D --defined-only ${LIBRARY})
    set(heading "")
    set(entry "[0-9a-f]+ T ")
endif()
execute_process(COMMAND ${command} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${command} failed")
endif()
if(heading)
    # The runtime libraries are linked in: the DLL imports no MinGW runtime
    # DLL (libgcc_s_*, libstdc++-6, libwinpthread-1), only Windows' own.
    string(REGEX MATCHALL "DLL Name: lib[^\n]*" runtime_imports "${listing}")
    if(runtime_imports)
        message(FATAL_ERROR "imports beside the system DLLs: ${runtime_imports}")
    endif()
    string(REGEX REPLACE "${heading}" "" listing "${listing}")
endif()
string(REGEX MATCHALL "${entry}[A-Za-z_0-9@]+" lines "${listing}")
set(exported)
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^${entry}" "" name "${line}")
    list(APPEND exported ${name})
endforeach()

file(READ ${HEADER} header)
string(REGEX MATCHALL "MPX_API [^;(]*[ *]([A-Za-z_0-9]+)\\(" declarations "${header}")
set(declared)
foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE ".*[ *]([A-Za-z_0-9]+)\\($" "\\1" name "${declaration}")
    list(APPEND declared ${name})
endforeach()

list(SORT exported)
list(SORT declared)
if(NOT exported STREQUAL declared)
    set(missing ${declared})
    list(REMOVE_ITEM missing ${exported})
    set(extra ${exported})
    list(REMOVE_ITEM extra ${declared})
    message(FATAL_ERROR "declared but not exported: ${missing}\nexported but not declared: ${extra}")
endif()
list(LENGTH exported count)
message(STATUS "${count} exported functions match the public header")
