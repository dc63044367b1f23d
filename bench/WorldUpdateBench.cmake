handset_bench(WorldUpdateBench DEPENDS game_world_levelfile game_world_update game_world_rules game_world_player
                                     game_world_factory game_world_level source_text kel_app kel_kdb kel_skelobject
                                     kel_meshnode kel_animation kel_mesh kel_material kel_scene kel_render kel_files
                                     platform_screen platform_user platform_base)
# The engine started on the mounted archive as kelview starts it.
target_link_libraries(bench_WorldUpdateBench PRIVATE kelview_session)
target_compile_definitions(bench_WorldUpdateBench PRIVATE HANDSET_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                        HANDSET_BENCH_DATA="${CMAKE_BINARY_DIR}/data/Quorvane/data")
