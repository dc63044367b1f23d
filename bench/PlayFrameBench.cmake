# A full play frame with the HUD against an empty clear and present. The scene is the largest
# demo level, loaded from the bench build's startup archive (its demo_data target).
handset_bench(PlayFrameBench DEPENDS game_flow_frame game_hud game_world_levelfile game_world_update game_world_rules
                                     game_world_player game_world_factory game_world_level source_text kel_app kel_kdb
                                     kel_skelobject kel_meshnode kel_animation kel_mesh kel_material kel_scene kel_render
                                     kel_files platform_screen platform_user platform_base)
target_link_libraries(bench_PlayFrameBench PRIVATE kelview_fixture kelview_session)
target_compile_definitions(bench_PlayFrameBench PRIVATE BENCH_DATA_FOLDER="${CMAKE_BINARY_DIR}/data/Quorvane/data"
                                                        PLAY_LEVEL="level09")
