# Builds the kit archives of the other processor width in their own build tree (cmake -P, before the release
# files are staged): configures the tree once, without tests, then builds only the library targets.
#   SOURCE_DIR, BUILD_DIR, TOOLCHAIN, BUILD_TYPE
if(NOT EXISTS ${BUILD_DIR}/CMakeCache.txt)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
      -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DGRAVO_BUILD_TESTS=OFF
    COMMAND_ERROR_IS_FATAL ANY)
endif()
# The outer make's job server does not reach this nested build: leave it out, and let the nested build take
# its parallelism from CMAKE_BUILD_PARALLEL_LEVEL.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS --unset=MFLAGS
    ${CMAKE_COMMAND} --build ${BUILD_DIR} --target gravo_kit_libs
  COMMAND_ERROR_IS_FATAL ANY)
