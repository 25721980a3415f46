# Copies the bundled collection (data/) beside the built program at every
# build, so the build directory is a playable, portable installation.
# Files the player changed in the build tree (scores in puzzle files, game
# states) are only overwritten when the source copy is newer.
set(ZARVOS_DATA_SOURCE ${CMAKE_SOURCE_DIR}/data)
add_custom_target(zarvos_data ALL
  COMMAND ${CMAKE_COMMAND} -DSRC=${ZARVOS_DATA_SOURCE} -DDST=${CMAKE_BINARY_DIR}/bin
          -P ${CMAKE_SOURCE_DIR}/cmake/CopyData.cmake
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/docs/help ${CMAKE_BINARY_DIR}/bin/help
  COMMENT "Copying the bundled puzzle collection beside the program"
  VERBATIM)
