handset_bench(TagFileParseBench DEPENDS kel)
