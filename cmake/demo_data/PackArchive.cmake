# Puts one archive of the demo data together afresh and packs it (run as a custom command by
# handset_demo_data in cmake/DemoData.cmake). STAGED gets the files of SOURCE that go in as
# they are and what each made source left in its folder under MADE (the lists come from
# CONTENTS); every language of a text table gets its texts; the text meshes and skeletons of
# objects/ are read by the engine's own loader, which writes the caches the game reads beside
# them (kelview --bake), as the game would on the handset; then STAGED is packed into ARCHIVE.
cmake_minimum_required(VERSION 3.25)
include(${CONTENTS})

# A tool's failure fails the command, and leaves no archive that looks made.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        file(REMOVE ${ARCHIVE})
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "failed (${result}): ${command}")
    endif()
endfunction()

file(REMOVE_RECURSE ${STAGED})
file(MAKE_DIRECTORY ${STAGED})
foreach(file IN LISTS PLAIN_FILES)
    get_filename_component(folder ${STAGED}/${file} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${SOURCE}/${file} ${STAGED}/${file})
endforeach()
# Untranslated texts read English.
if(IS_DIRECTORY ${STAGED}/text/eng)
    run(${FILL_TEXTS} ${STAGED}/text)
endif()
foreach(source IN LISTS MADE_SOURCES)
    get_filename_component(folder ${STAGED}/${source} DIRECTORY)
    file(GLOB_RECURSE made RELATIVE ${MADE}/${source} ${MADE}/${source}/*)
    foreach(file IN LISTS made)
        get_filename_component(target ${folder}/${file} DIRECTORY)
        file(MAKE_DIRECTORY ${target})
        file(COPY_FILE ${MADE}/${source}/${file} ${folder}/${file})
    endforeach()
endforeach()

file(GLOB objects RELATIVE ${STAGED}/objects ${STAGED}/objects/*.fmesh ${STAGED}/objects/*.skel)
list(TRANSFORM objects REPLACE "\\.(fmesh|skel)$" "")
list(SORT objects)
if(objects)
    run(${KELVIEW} --bake --data ${STAGED} ${objects})
endif()
get_filename_component(folder ${ARCHIVE} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
run(${PACK_ARCHIVE} ${STAGED} ${ARCHIVE})
