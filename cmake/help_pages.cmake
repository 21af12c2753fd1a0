# The help: the README and docs/ rendered into HTML in doc/ of the build folder. The program opens
# doc/README.html beside itself (a build folder, the Windows program folder) or, installed on
# Linux, ../share/doc/velmora/README.html.
include(GNUInstallDirs)

# Debian's own interpreter, which python3-markdown extends; another python3 first on PATH may
# lack it.
find_program(VELMORA_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(VELMORA_PYTHON)
  execute_process(COMMAND ${VELMORA_PYTHON} -c "import markdown" RESULT_VARIABLE markdown_missing
    OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT VELMORA_PYTHON OR markdown_missing)
  message(WARNING "python3-markdown is missing: the help (doc/README.html) is not built; "
                  "scripts/install-deps.sh installs it")
  return()
endif()
file(GLOB help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.md ${CMAKE_SOURCE_DIR}/docs/*.png)
set(help_folder ${CMAKE_BINARY_DIR}/doc)
add_custom_command(OUTPUT ${help_folder}/README.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${help_folder}
  COMMAND ${VELMORA_PYTHON} ${CMAKE_SOURCE_DIR}/scripts/tools/render_help.py ${CMAKE_SOURCE_DIR}
    ${help_folder}
  DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${help_sources}
    ${CMAKE_SOURCE_DIR}/scripts/tools/render_help.py
  COMMENT "Rendering the help from README.md and docs/" VERBATIM)
add_custom_target(velmora_help ALL DEPENDS ${help_folder}/README.html)
if(WIN32)
  install(DIRECTORY ${help_folder}/ DESTINATION doc)
else()
  install(DIRECTORY ${help_folder}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
endif()
