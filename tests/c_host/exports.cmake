# Checks that the shared library exports exactly the functions the public
# header declares: nothing internal leaks, nothing declared is missing.
# Run as: cmake -DLIBRARY=... -DHEADER=... -P exports.cmake
# A Windows DLL is read from its PE export table (OBJDUMP: the target's
# objdump), where names must stand undecorated: no leading '_', no "@n".
if(LIBRARY MATCHES "\\.dll$")
    execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p failed on ${LIBRARY}")
    endif()
    # The name pointer table: lines "\t[   0] name" after its heading.
    string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table[^\n]*\n" "" names "${dump}")
    string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" entries "${names}")
    set(exported)
    foreach(line IN LISTS entries)
        string(REGEX REPLACE "^\t\\[ *[0-9]+\\] " "" name "${line}")
        list(APPEND exported ${name})
    endforeach()
else()
    execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "nm failed on ${LIBRARY}")
    endif()
    string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_0-9]+" text_symbols "${symbols}")
    set(exported)
    foreach(line IN LISTS text_symbols)
        string(REGEX REPLACE ".* T " "" name "${line}")
        list(APPEND exported ${name})
    endforeach()
endif()

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
