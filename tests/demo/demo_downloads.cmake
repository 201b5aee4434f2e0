# Every demo download imported by the command line into a demo FSX with two
# aircraft, each found by the library without --aircraft: all six repaints
# land in the trainer (the made-up one with its first title), none in the
# floatplane, and one undo takes a whole download back.
# Run with -DMAKE_DEMO=... -DCLI=... -DWORK=<an empty scratch folder>.
file(REMOVE_RECURSE "${WORK}")
set(program "${WORK}/FSX/Varnel Software/FSX Paintwell")
execute_process(COMMAND "${MAKE_DEMO}" "${WORK}/FSX" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${MAKE_DEMO}" --downloads "${WORK}/downloads" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(COPY "${CLI}" DESTINATION "${program}")

function(cli expected_status)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_CACHE_HOME=${WORK}/cache" "${program}/paintwell-cli" ${ARGN}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "paintwell-cli ${ARGN}: status ${status}, not ${expected_status}:\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

set(d "${WORK}/downloads/Paintwell_Trainer_")
cli(0 import "${d}Midnight.zip" "${d}Lagoon.7z" "${d}Heritage_full_aircraft.zip" "${d}Aurora_and_Cobalt.zip")
cli(1 import "${d}Sandstone_no_entry.zip")  # no entry: made up only when asked
cli(0 import "${d}Sandstone_no_entry.zip" --make-entry)
set(trainer "${WORK}/FSX/Paintwell Trainer.rcf")
cli(0 list "${trainer}")
foreach(title "Midnight" "Lagoon" "Heritage" "Aurora" "Cobalt" "Factory Sandstone")
  string(FIND "${out}" "\tPaintwell Trainer ${title}\n" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "Paintwell Trainer ${title} is not in the trainer:\n${out}")
  endif()
endforeach()
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines entries)
cli(0 list "${WORK}/FSX/SimObjects/Airplanes/Paintwell Floatplane")
string(REGEX MATCHALL "\n" floatplane "${out}")
list(LENGTH floatplane floatplane_entries)
if(NOT entries EQUAL 9 OR NOT floatplane_entries EQUAL 3)
  message(FATAL_ERROR "${entries} entries in the trainer (not 3 + 6), ${floatplane_entries} in the floatplane (not 3)")
endif()
cli(0 undo "${trainer}")
cli(0 list "${trainer}")
string(FIND "${out}" "Sandstone" found)
if(NOT found EQUAL -1 OR NOT EXISTS "${WORK}/FSX/SimObjects/Airplanes/Paintwell Trainer/Texture.Cobalt")
  message(FATAL_ERROR "undo took back other than the last download:\n${out}")
endif()
file(REMOVE_RECURSE "${WORK}")
