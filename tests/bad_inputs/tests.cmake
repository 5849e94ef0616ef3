# The catalogue runs the converter for every family but API misuse; under
# MPX_VALGRIND the converter runs under memcheck too.
add_dependencies(test_bad_inputs mpxcs)
list(JOIN mpx_memcheck " " converter_wrapper)
target_compile_definitions(test_bad_inputs PRIVATE MPX_CONVERTER_WRAPPER="${converter_wrapper}")
