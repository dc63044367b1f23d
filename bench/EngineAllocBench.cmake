handset_bench(EngineAllocBench DEPENDS kel)
