# Compiles the help file: cmake -DCHMCMD=... -DPROJECT_FILE=... -DSTAGE=... -DOUTPUT=... -P
# chmcmd writes into its working folder, may leave a broken file when it fails, and only
# warns about a link to a missing page, so it runs in a folder of its own, any warning
# fails the build, and only a clean file is moved into place.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
execute_process(COMMAND ${CHMCMD} ${PROJECT_FILE}
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "Warning|Error|exception")
  message(FATAL_ERROR "chmcmd failed (${result}):\n${output}")
endif()
get_filename_component(name ${OUTPUT} NAME)
file(RENAME ${STAGE}/${name} ${OUTPUT})
