# The demo levels' archive ARCHIVE is there: the build made its demo data.
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS ${ARCHIVE})
    message(FATAL_ERROR "no ${ARCHIVE}: build the demo_data target first")
endif()
