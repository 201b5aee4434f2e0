# The Prepar3D demo made in one folder, copied to another and the first one
# deleted: the copy's program still finds and selects the add-on aircraft,
# so the demo's files hold no path of the folder they were made in.
# Run with -DMAKE_DEMO=... -DCLI=... -DWORK=<an empty scratch folder>.
file(REMOVE_RECURSE "${WORK}")
set(program "Prepar3D v5/Varnel Software/FSX Paintwell")
execute_process(COMMAND "${MAKE_DEMO}" --prepar3d "${WORK}/made/Prepar3D v5" "${WORK}/made/p3d-user"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(COPY "${CLI}" DESTINATION "${WORK}/made/${program}")
file(COPY "${WORK}/made/" DESTINATION "${WORK}/copy")
file(REMOVE_RECURSE "${WORK}/made")

set(addon "${WORK}/copy/p3d-user/Documents/Prepar3D v5 Add-ons/Paintwell Floatplane/SimObjects/Airplanes/Paintwell Floatplane")
foreach(command "aircraft" "list;${addon}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_CACHE_HOME=${WORK}/cache" "${WORK}/copy/${program}/paintwell-cli" ${command}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  string(FIND "${out}" "Paintwell Floatplane" found)  # the root holds only the Trainer
  if(NOT status EQUAL 0 OR found EQUAL -1)
    message(FATAL_ERROR "${command}: status ${status}, the add-on aircraft missing:\n${out}${err}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
