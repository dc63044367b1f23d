# Proves one level solvable: qvn_solve finds a way, qvn_play replays it with the world's code to
# the exit, and the level's par time and logic are checked against the way's length.
#   cmake -DQVN_SOLVE=<program> -DQVN_PLAY=<program> -DDATA=<data folder> -DLEVEL=<folder/name.qvn>
#         -DSOURCE=<the level's source file> -DOUT=<script to write> -DSCORED=ON|OFF -P SolveLevel.cmake
# Only levels the game scores (SCORED) are held to their par figures. The par time (STATSTIME, whole seconds) must not be quicker than the solver's way (no player
# could reach it) nor more than three times it and ten seconds (every player would). The logic
# par (STATSLOGIC, in tenths of a move as the rating counts them) must allow the way's moves; a
# level without STATSLOGIC, or with 0, gets default figures that overrule its STATSTIME.
execute_process(COMMAND ${QVN_SOLVE} ${DATA} ${LEVEL} --output ${OUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${LEVEL}: qvn_solve found no way to the exit (status ${status}).\n${errors}")
endif()
file(READ ${OUT} script)
if(NOT script MATCHES "# solved frames=([0-9]+) clock=([0-9]+) time=([0-9.]+) moves=([0-9]+)")
    message(FATAL_ERROR "${LEVEL}: the solver's script has no figures line.\n${script}")
endif()
set(frames ${CMAKE_MATCH_1})
set(clock ${CMAKE_MATCH_2})
set(seconds ${CMAKE_MATCH_3})
set(moves ${CMAKE_MATCH_4})
math(EXPR budget "${frames} + 30")
execute_process(COMMAND ${QVN_PLAY} ${DATA} ${LEVEL} --input ${OUT} --frames ${budget}
                RESULT_VARIABLE status OUTPUT_VARIABLE played ERROR_VARIABLE errors)
string(FIND "${played}" "next=7" completed)
if(NOT status EQUAL 0 OR completed EQUAL -1)
    message(FATAL_ERROR "${LEVEL}: qvn_play did not reach the exit with the solver's script (status ${status}).\n"
                        "${script}\n${errors}")
endif()

if(NOT SCORED)
    message(STATUS "${LEVEL}: solved in ${seconds} s and ${moves} moves; the game does not score it.")
    return()
endif()
file(READ ${SOURCE} level)
if(NOT level MATCHES "[\n\r][ \t]*STATSTIME[ \t]+([0-9]+)")
    message(FATAL_ERROR "${LEVEL}: no par time (STATSTIME); the solver's way takes ${seconds} s and ${moves} moves.")
endif()
set(par ${CMAKE_MATCH_1})
if(NOT level MATCHES "[\n\r][ \t]*STATSLOGIC[ \t]+([0-9]+)" OR CMAKE_MATCH_1 EQUAL 0)
    message(FATAL_ERROR "${LEVEL}: no logic par (STATSLOGIC of 1 or more), so the loader's default figures replace "
                        "STATSTIME ${par}; the solver's way takes ${seconds} s and ${moves} moves.")
endif()
set(logic ${CMAKE_MATCH_1})
# Milliseconds: a frame is 33 of them.
math(EXPR way "${clock} * 33")
math(EXPR parTime "${par} * 1000")
math(EXPR loosest "${way} * 3 + 10000")
if(parTime LESS way)
    message(FATAL_ERROR "${LEVEL}: the par time ${par} s is quicker than the quickest way (${seconds} s).")
endif()
if(parTime GREATER loosest)
    message(FATAL_ERROR "${LEVEL}: the par time ${par} s is far slower than the quickest way (${seconds} s); "
                        "at most three times it and ten seconds.")
endif()
math(EXPR logicTenths "${logic} * 10")
if(logicTenths LESS moves)
    message(FATAL_ERROR "${LEVEL}: the logic par ${logic} allows ${logicTenths} moves; the quickest way needs ${moves}.")
endif()
message(STATUS "${LEVEL}: solved in ${seconds} s and ${moves} moves; par ${par} s, logic ${logic}.")
