# The key reference says which keys change no pixel in the probe's still
# scene; the probe measures it again with this build. A change of the engine
# or the scene that makes a key show (or stop showing) fails here until the
# reference is regenerated with: bash tools/docs.sh keys
string(REPLACE "|" ";" KIV_EMULATOR "${KIV_EMULATOR}")
file(REMOVE_RECURSE ${KIV_WORK_DIR})
file(MAKE_DIRECTORY ${KIV_WORK_DIR})
set(project ${KIV_SOURCE_DIR}/skins/default/project.kivxml)
set(out ${KIV_WORK_DIR})
if(KIV_EMULATOR)
  set(project Z:${project})
  set(out Z:${out})
endif()
execute_process(COMMAND ${KIV_EMULATOR} ${KIV_PROBE} ${project} ${out} --table-only
  RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE text)
if(NOT rc EQUAL 0 OR NOT EXISTS ${KIV_WORK_DIR}/keys.tsv)
  message(FATAL_ERROR "KivKeyProbe failed (${rc}):\n${text}")
endif()
execute_process(COMMAND ${KIV_PYTHON3} ${KIV_SOURCE_DIR}/tools/keys_doc.py --check ${KIV_WORK_DIR}/keys.tsv
                        ${KIV_SOURCE_DIR}/docs/keys.md
  RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE text)
message("${text}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "docs/keys.md does not match what the probe measures")
endif()
