# The rain rounds values to 32-bit floats at fixed points, and every build must give the same
# bytes. x87 maths (the i686 default) keeps such values in 80-bit registers, so the drop shapes
# came out different from the 64-bit build's; -ffloat-store rounds twice and is no cure. Scalar
# SSE2 rounds exactly where the code says, and every processor that runs a supported Windows
# has it.
set(MISTO_I686_FLOAT_FLAGS "-march=i686 -msse2 -mfpmath=sse")
set(CMAKE_C_FLAGS_INIT "${MISTO_I686_FLOAT_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${MISTO_I686_FLOAT_FLAGS}")
