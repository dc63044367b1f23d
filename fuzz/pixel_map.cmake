# The tools are not built with the fuzzers, so the reader is compiled here on its own.
add_library(fuzz_pixel_map_reader STATIC ${PROJECT_SOURCE_DIR}/tools/make_skin_pack/PixelMap.cpp)
target_include_directories(fuzz_pixel_map_reader PUBLIC ${PROJECT_SOURCE_DIR})
handset_fuzz(pixel_map DEPENDS fuzz_pixel_map_reader)
