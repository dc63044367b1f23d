handset_bench(SceneObjectBench DEPENDS kel_kdb kel_app make_character_source)
target_sources(bench_SceneObjectBench PRIVATE ${PROJECT_SOURCE_DIR}/tools/make_animation/AnimationSource.cpp)
target_compile_definitions(bench_SceneObjectBench PRIVATE HANDSET_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
