# Removes from the demo data's output FOLDER every file that KEPT (one path a line, relative
# to FOLDER) does not name: what a source taken out of data/ made does not linger in a
# reused build folder (run as a custom command by handset_demo_data in cmake/DemoData.cmake).
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${KEPT} kept ENCODING UTF-8)
file(GLOB_RECURSE present RELATIVE ${FOLDER} ${FOLDER}/*)
foreach(file IN LISTS present)
    if(NOT file IN_LIST kept)
        file(REMOVE ${FOLDER}/${file})
        message(STATUS "removed ${FOLDER}/${file}: no source makes it any more")
    endif()
endforeach()
