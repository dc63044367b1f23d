handset_bench(ArchiveMountBench DEPENDS kel_files PkgConfig::MINIZIP ZLIB::ZLIB)
# The archive is built with the pack tool's writer.
target_link_libraries(bench_ArchiveMountBench PRIVATE zip_writer)
