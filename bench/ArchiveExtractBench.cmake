handset_bench(ArchiveExtractBench DEPENDS kel_files ZLIB::ZLIB)
# The archive is built with the pack tool's writer.
target_sources(bench_ArchiveExtractBench PRIVATE ${PROJECT_SOURCE_DIR}/tools/pack_archive/ZipWriter.cpp)
target_link_libraries(bench_ArchiveExtractBench PRIVATE zip_records)
