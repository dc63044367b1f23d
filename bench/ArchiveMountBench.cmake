handset_bench(ArchiveMountBench DEPENDS kel_files PkgConfig::MINIZIP ZLIB::ZLIB)
# The archive is built with the pack tool's writer.
target_sources(bench_ArchiveMountBench PRIVATE ${PROJECT_SOURCE_DIR}/tools/pack_archive/ZipWriter.cpp)
target_link_libraries(bench_ArchiveMountBench PRIVATE zip_records)
