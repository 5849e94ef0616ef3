# The catalogue runs the converter for every family but API misuse.
add_dependencies(test_bad_inputs mpxcs)
