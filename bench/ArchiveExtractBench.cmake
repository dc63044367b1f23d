handset_bench(ArchiveExtractBench DEPENDS kel_files ZLIB::ZLIB)
# The archive is built with the pack tool's writer.
target_link_libraries(bench_ArchiveExtractBench PRIVATE zip_writer)
