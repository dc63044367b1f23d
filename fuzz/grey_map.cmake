# The tools are not built with the fuzzers, so the reader is compiled here on its own.
add_library(fuzz_grey_map_reader STATIC ${PROJECT_SOURCE_DIR}/tools/make_skin_pack/GreyMap.cpp)
target_include_directories(fuzz_grey_map_reader PUBLIC ${PROJECT_SOURCE_DIR})
handset_fuzz(grey_map DEPENDS fuzz_grey_map_reader)
