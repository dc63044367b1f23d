# Runs qvn_play on one demo level with one script and checks how the run ended:
#   cmake -DQVN_PLAY=<program> -DARCHIVE=<data> -DLEVEL=<name> -DSCRIPT=<file> -DEXPECT=exit|no-exit
#         [-DFRAMES=<count, 900 unless given>] -P RunLevel.cmake
# "exit": status 0 and a frame line with next=7; "no-exit": status 3 (ran, not completed) and
# no such line.
if(NOT DEFINED FRAMES)
    set(FRAMES 900)
endif()
execute_process(COMMAND ${QVN_PLAY} ${ARCHIVE} ${LEVEL} --input ${SCRIPT} --frames ${FRAMES}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(FIND "${output}" "next=7" completed)
if(EXPECT STREQUAL "exit")
    if(NOT status EQUAL 0 OR completed EQUAL -1)
        message(FATAL_ERROR "${LEVEL}: the script did not reach the exit (status ${status}).\n${errors}")
    endif()
else()
    if(NOT status EQUAL 3 OR NOT completed EQUAL -1)
        message(FATAL_ERROR "${LEVEL}: the wrong script should run without completing (status ${status}).\n${errors}")
    endif()
endif()
