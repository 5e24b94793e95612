# Assembles the release folder afresh (cmake -P, from the kit target) from the staged release files
# (StagePayload.cmake, whose digests the wizard carries) and the wizard, as release-layout.txt lists them, then
# packs it into the release archive, the files at the archive's root in the list's order, with the archive's
# SHA-256 beside it (ARCHIVE.sha256, in sha256sum's format).
#   KIT_DIR, LAYOUT, PAYLOAD_DIR, WIZARD (may be empty), ARCHIVE
file(REMOVE_RECURSE ${KIT_DIR})
file(REMOVE ${ARCHIVE} ${ARCHIVE}.sha256)

file(STRINGS ${LAYOUT} entries REGEX "^[^#]")
set(packed)
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^([^ ]+) +([^ ]+)")
    message(FATAL_ERROR "${LAYOUT}: not a layout line: ${entry}")
  endif()
  set(path ${CMAKE_MATCH_1})
  set(source ${PAYLOAD_DIR}/${path})
  if(CMAKE_MATCH_2 STREQUAL "wizard")
    if(NOT WIZARD)
      continue()
    endif()
    set(source ${WIZARD})
  endif()
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "missing kit file ${source}")
  endif()
  get_filename_component(folder ${path} DIRECTORY)
  file(MAKE_DIRECTORY ${KIT_DIR}/${folder})
  file(COPY_FILE ${source} ${KIT_DIR}/${path})
  list(APPEND packed ${path})
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ARCHIVE} --format=zip ${packed}
  WORKING_DIRECTORY ${KIT_DIR}
  COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${ARCHIVE} archive_sha256)
get_filename_component(archive_name ${ARCHIVE} NAME)
file(WRITE ${ARCHIVE}.sha256 "${archive_sha256}  ${archive_name}\n")
