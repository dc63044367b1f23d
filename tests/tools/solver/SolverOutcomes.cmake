# How qvn_solve ends when it finds no way: each case its status and a sentence that names why.
#   cmake -DQVN_SOLVE=<program> -DDATA=<built data folder> -DFIXTURES=<folder with levels/> -DWORK=<folder>
#         -P SolverOutcomes.cmake
# The fixture levels lie on the disk of a data folder beside the built archives.
cmake_policy(SET CMP0007 NEW)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/data/levels)
file(COPY ${DATA}/startup.par DESTINATION ${WORK}/data)
file(COPY ${FIXTURES}/levels/ DESTINATION ${WORK}/data/levels)

# name | level | options | status | words the error must hold
set(cases
    "walled in|levels/sealed.qvn||3|no way leads to the exit"
    "too few states|levels/level09.qvn|--max-states,3|4|--max-states"
    "too few frames|levels/level09.qvn|--max-frames,120|4|--max-frames"
    "no such level|levels/nowhere.qvn||1|did not load")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 level)
    list(GET fields 2 options)
    list(GET fields 3 expected)
    list(GET fields 4 words)
    string(REPLACE "," ";" options "${options}")
    execute_process(COMMAND ${QVN_SOLVE} ${WORK}/data ${level} ${options} --output ${WORK}/out.play
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT status EQUAL expected)
        message(SEND_ERROR "${name}: status ${status}, expected ${expected}.\n${errors}")
    endif()
    string(FIND "${errors}" "${words}" found)
    if(found EQUAL -1)
        message(SEND_ERROR "${name}: the error does not say '${words}'.\n${errors}")
    endif()
endforeach()
