# handset_tool_refuses(<tool> CASES <case...> ARGUMENTS <argument...>)
#   A test <tool>.refuses_<case> for each case, which passes when the tool fails: the tool
#   runs with the arguments, "<case>" in them standing for the case's name (its broken
#   fixture's name, and the output it must not write).
# handset_tool_refuses(<tool> COMMAND_LINES <line...>)
#   A test <tool>.refuses_<n> for each command line the tool must refuse, numbered from 0;
#   "|" parts a line's arguments.
function(handset_tool_refuses tool)
    cmake_parse_arguments(ARG "" "" "CASES;ARGUMENTS;COMMAND_LINES" ${ARGN})
    set(names "")
    set(lines "")
    foreach(case IN LISTS ARG_CASES)
        list(APPEND names ${case})
        string(REPLACE "<case>" "${case}" arguments "${ARG_ARGUMENTS}")
        string(REPLACE ";" "|" arguments "${arguments}")
        list(APPEND lines "${arguments}")
    endforeach()
    set(index 0)
    foreach(line IN LISTS ARG_COMMAND_LINES)
        list(APPEND names ${index})
        list(APPEND lines "${line}")
        math(EXPR index "${index} + 1")
    endforeach()
    foreach(name line IN ZIP_LISTS names lines)
        string(REPLACE "|" ";" arguments "${line}")
        add_test(NAME ${tool}.refuses_${name} COMMAND ${tool} ${arguments})
        set_tests_properties(${tool}.refuses_${name} PROPERTIES WILL_FAIL TRUE)
    endforeach()
endfunction()

# handset_demo_data_test(<test> <source>): a test of what the build's data build made of one
# source under data/game (its tool runs on the demo data as part of the build; the test reads
# what it made, MadeOutput.cmake).
function(handset_demo_data_test test source)
    handset_demo_data_made(${HANDSET_DEMO_DATA_WORK} ${source} made)
    add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} -DMADE=${made} -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MadeOutput.cmake)
endfunction()
