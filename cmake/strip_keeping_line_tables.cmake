# Run by CPack on its staging folder before it builds the package: strips the programs but keeps
# the DWARF line tables, which the crash report reads to name the line of a fault
# (velmora-fault-locator on Linux, the crash box of velmora.exe on Windows). The packaging file
# may name the programs (a glob below the staging folder) and the sections to keep.
if(NOT CPACK_VELMORA_PROGRAMS)
  set(CPACK_VELMORA_PROGRAMS "usr/bin/*")
endif()
if(NOT CPACK_VELMORA_KEPT_SECTIONS)
  set(CPACK_VELMORA_KEPT_SECTIONS .debug_line .debug_line_str)
endif()
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/${CPACK_VELMORA_PROGRAMS}")
if(NOT programs)
  message(FATAL_ERROR
    "no programs ${CPACK_VELMORA_PROGRAMS} in ${CPACK_TEMPORARY_DIRECTORY} to strip")
endif()
set(kept)
foreach(section IN LISTS CPACK_VELMORA_KEPT_SECTIONS)
  list(APPEND kept --keep-section=${section})
endforeach()
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${CPACK_OBJCOPY}" --strip-all --remove-section=.comment ${kept} "${program}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
