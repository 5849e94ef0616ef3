# The pictures are tested as files that the built mpxplot writes.
add_dependencies(test_mpxplot mpxplot)
