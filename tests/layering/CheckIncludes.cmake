# Fails when a source file includes from a folder its layer must not use.
#   cmake -DSOURCE_DIR=<tree> -P CheckIncludes.cmake
# One rule a line: "<folder> forbids <prefix> [except <prefix>...]". A folder that does not
# exist yet is skipped, so a rule may be written before its folder.
cmake_minimum_required(VERSION 3.25)

set(rules
    "engine/ forbids game/"
    "engine/ forbids dialer/"
    "engine/ forbids pimhelper/"
    "engine/core/ forbids engine/app/"
    "engine/core/ forbids engine/render/"
    "engine/core/ forbids engine/resources/"
    "engine/resources/ forbids engine/app/"
    "engine/render/ forbids engine/app/"
    "engine/core/ forbids engine/resources/"
    "engine/render/ forbids engine/resources/"
    "engine/core/ forbids engine/sound/"
    "engine/sound/ forbids engine/render/"
    "engine/sound/ forbids engine/resources/"
    "engine/sound/ forbids engine/app/"
    "engine/resources/ forbids engine/app/"
    "engine/resources/texture/ forbids engine/resources/material/"
    "engine/resources/texturestage/ forbids engine/resources/material/"
    "engine/resources/shader/ forbids engine/resources/material/"
    "engine/resources/material/ forbids engine/resources/mesh/"
    "engine/resources/mesh/ forbids engine/resources/collision/"
    "engine/resources/meshnode/ forbids engine/resources/skelobject/"
    "engine/resources/meshnode/ forbids engine/resources/kdb/"
    "engine/resources/skelobject/ forbids engine/resources/kdb/"
    "engine/core/ forbids engine/overlay/"
    "engine/render/ forbids engine/overlay/"
    "engine/resources/ forbids engine/overlay/"
    "engine/app/ forbids engine/overlay/"
    "engine/overlay/text/ forbids engine/app/"
    "engine/overlay/canvas/ forbids engine/app/"
    "engine/overlay/text/ forbids engine/overlay/canvas/"
    "engine/overlay/text/ forbids engine/overlay/widgets/"
    "engine/overlay/canvas/ forbids engine/overlay/widgets/"
    "engine/overlay/text/ forbids engine/overlay/menu/"
    "engine/overlay/canvas/ forbids engine/overlay/menu/"
    "engine/sound/ forbids engine/overlay/"
    "game/ forbids dialer/"
    "game/world/ forbids game/flow/"
    "game/world/ forbids game/ui/"
    "game/world/ forbids game/program/"
    "game/ui/ forbids game/flow/"
    "game/flow/ forbids game/world/"
    "game/flow/ forbids game/menu/"
    "engine/overlay/widgets/ forbids engine/overlay/menu/"
    "game/world/ forbids game/play/"
    "game/flow/ forbids game/play/"
    "game/ui/ forbids game/play/"
    "platform/base/ forbids platform/ except platform/base/"
    "platform/sync/ forbids platform/ except platform/base/ platform/sync/"
    "platform/process/ forbids platform/ except platform/base/ platform/sync/ platform/process/"
    "dialer/ forbids engine/"
    "dialer/ forbids game/"
    "dialer/ forbids pimhelper/"
    "pimhelper/ forbids dialer/ except dialer/foundation/ dialer/data/"
    "dialer/foundation/ forbids dialer/ except dialer/foundation/"
    "dialer/xml/ forbids dialer/ except dialer/foundation/ dialer/xml/"
    "dialer/surface/ forbids dialer/ except dialer/foundation/ dialer/surface/"
    "dialer/properties/ forbids dialer/ except dialer/foundation/ dialer/xml/ dialer/surface/ dialer/properties/"
    "dialer/pack/ forbids dialer/ except dialer/foundation/ dialer/xml/ dialer/surface/ dialer/properties/ dialer/pack/"
    "dialer/layout/ forbids dialer/ except dialer/foundation/ dialer/xml/ dialer/surface/ dialer/properties/ dialer/pack/ dialer/layout/"
    "dialer/objects/ forbids dialer/ except dialer/foundation/ dialer/xml/ dialer/surface/ dialer/properties/ dialer/pack/ dialer/layout/ dialer/objects/"
    "dialer/foundation/ forbids dialer/dialog/"
    "dialer/layout/ forbids dialer/dialog/"
    "dialer/dialog/ forbids dialer/frame/"
    "dialer/layout/ forbids dialer/frame/"
    "engine/ forbids ft2build.h"
    "game/ forbids ft2build.h"
    "dialer/ forbids ft2build.h"
    "pimhelper/ forbids ft2build.h"
)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "The source tree \"${SOURCE_DIR}\" to check is not a folder.")
endif()

set(breaks 0)
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
    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}*.h" "${SOURCE_DIR}/${folder}*.cpp")
    foreach(source IN LISTS sources)
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
    message(FATAL_ERROR "${breaks} includes break the layering.")
endif()
