# Fails when a source file includes from a folder its layer must not use.
#   cmake -DSOURCE_DIR=<tree> -DLAYERS=<folder>,<folder>,... -P CheckIncludes.cmake
# LAYERS is the order of the layers, lowest first (the build's HANDSET_FOLDERS, then the
# tests, the fuzz harnesses and the benchmarks). A file belongs to the deepest listed folder
# that holds it, and may include from its own folder and from folders listed before it,
# never from one listed after it. Every .h and .cpp file under a listed folder's top folder
# (platform/, engine/, ...) must belong to a listed folder.
#
# What the order cannot say is listed below, one rule a line: "<folder> forbids <prefix>
# [except <prefix>...]": stacks that sit side by side and must stay apart, a folder that
# must not reach down past its neighbour, and headers kept behind one library. A folder that
# does not exist is skipped, so a rule may be written before its folder.
cmake_minimum_required(VERSION 3.25)

set(rules
    "engine/sound/ forbids engine/render/"
    "engine/app/ forbids engine/overlay/"
    # The overlay's text and canvas come after the application in the build's order, yet
    # neither uses it: they stay usable without it.
    "engine/overlay/text/ forbids engine/app/"
    "engine/overlay/canvas/ forbids engine/app/"
    # The dialer's surfaces and its XML reader lie side by side.
    "dialer/surface/ forbids dialer/xml/"
    "game/flow/ forbids game/world/"
    "dialer/ forbids engine/"
    "dialer/ forbids game/"
    "pimhelper/ forbids dialer/ except dialer/foundation/ dialer/data/"
    "engine/ forbids ft2build.h"
    "game/ forbids ft2build.h"
    "dialer/ forbids ft2build.h"
    "pimhelper/ forbids ft2build.h"
)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "The source tree \"${SOURCE_DIR}\" to check is not a folder.")
endif()
string(REPLACE "," ";" layers "${LAYERS}")
if(NOT layers)
    message(FATAL_ERROR "No layer order was given: pass -DLAYERS=<folder>,<folder>,...")
endif()

# layer_<folder> holds a folder's place in the order; tops are the top folders to search.
set(place 0)
set(tops "")
foreach(layer IN LISTS layers)
    if(DEFINED "layer_${layer}")
        message(FATAL_ERROR "The layer order names ${layer} twice.")
    endif()
    set("layer_${layer}" ${place})
    math(EXPR place "${place} + 1")
    string(REGEX REPLACE "/.*$" "" top "${layer}")
    list(APPEND tops "${top}")
endforeach()
list(REMOVE_DUPLICATES tops)

# The deepest listed folder that holds `path` (a file or include path), or "" for none.
function(owning_layer path result)
    get_filename_component(folder "${path}" DIRECTORY)
    while(folder)
        if(DEFINED "layer_${folder}")
            set(${result} "${folder}" PARENT_SCOPE)
            return()
        endif()
        get_filename_component(folder "${folder}" DIRECTORY)
    endwhile()
    set(${result} "" PARENT_SCOPE)
endfunction()

set(breaks 0)
set(sources "")
foreach(top IN LISTS tops)
    if(IS_DIRECTORY "${SOURCE_DIR}/${top}")
        file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${top}/*.h" "${SOURCE_DIR}/${top}/*.cpp")
        list(APPEND sources ${found})
    endif()
endforeach()

foreach(source IN LISTS sources)
    owning_layer("${source}" owner)
    if(NOT owner)
        message("${source} lies in no folder of the layer order.")
        math(EXPR breaks "${breaks} + 1")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]*).*$" "\\1" included "${line}")
        owning_layer("${included}" used)
        if(used AND layer_${used} GREATER layer_${owner})
            message("${source} includes \"${included}\", but ${owner} lies below ${used} in the layer order.")
            math(EXPR breaks "${breaks} + 1")
        endif()
    endforeach()
endforeach()

foreach(rule IN LISTS rules)
    separate_arguments(words UNIX_COMMAND "${rule}")
    list(POP_FRONT words folder forbids forbidden)
    list(POP_FRONT words except)
    if(NOT forbids STREQUAL "forbids" OR (except AND NOT except STREQUAL "except"))
        message(FATAL_ERROR "The layering rule \"${rule}\" is not \"<folder> forbids <prefix> [except <prefix>...]\".")
    endif()
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
        continue()
    endif()
    set(other_than "")
    if(words)
        list(JOIN words ", " other_than)
        set(other_than " other than ${other_than}")
    endif()
    file(GLOB_RECURSE ruled RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}*.h" "${SOURCE_DIR}/${folder}*.cpp")
    foreach(source IN LISTS ruled)
        file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]*).*$" "\\1" included "${line}")
            string(FIND "${included}" "${forbidden}" at)
            if(NOT at EQUAL 0)
                continue()
            endif()
            set(allowed FALSE)
            foreach(exception IN LISTS words)
                string(FIND "${included}" "${exception}" at)
                if(at EQUAL 0)
                    set(allowed TRUE)
                endif()
            endforeach()
            if(NOT allowed)
                message("${source} includes \"${included}\", but ${folder} must not include from ${forbidden}${other_than}.")
                math(EXPR breaks "${breaks} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(breaks GREATER 0)
    message(FATAL_ERROR "${breaks} breaks of the layering were found.")
endif()
