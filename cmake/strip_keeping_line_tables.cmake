# Run by CPack on its staging folder before it builds the package: strips the programs but keeps
# the DWARF line tables, which velmora-fault-locator reads for the crash report.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no programs in ${CPACK_TEMPORARY_DIRECTORY}/usr/bin to strip")
endif()
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${CPACK_OBJCOPY}" --strip-all --remove-section=.comment
      --keep-section=.debug_line --keep-section=.debug_line_str "${program}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
